#pragma once

// The fields of each record pane, in the order they are shown: name, label, tab, record slot
// and shape.

#include <array>

#include "decoders/calendar_decoder.h"
#include "decoders/call_decoder.h"
#include "decoders/contact_decoder.h"
#include "decoders/memo_decoder.h"
#include "decoders/sms_decoder.h"
#include "decoders/task_decoder.h"
#include "gui/browser/record_pane.h"

namespace orrelin::gui::pane_rows {

using F = FieldShape;

inline constexpr std::array<PaneRow, 6> kSms{{
    {"smsDirection", kSmsLabels[SmsRecord::Direction], "", SmsRecord::Direction},
    {"smsFolder", kSmsLabels[SmsRecord::Folder], "", SmsRecord::Folder},
    {"smsSent", kSmsLabels[SmsRecord::SentDate], "", SmsRecord::SentDate},
    {"smsReceived", kSmsLabels[SmsRecord::ReceivedDate], "", SmsRecord::ReceivedDate},
    {"smsNumber", kSmsLabels[SmsRecord::Number], "", SmsRecord::Number},
    {"smsText", kSmsLabels[SmsRecord::Text], "", SmsRecord::Text, F::Box},
}};

inline constexpr std::string_view kGeneral = "General";
inline constexpr std::string_view kPhones = "Phone Numbers";
inline constexpr std::string_view kAddresses = "Addresses";
inline constexpr std::string_view kOther = "Other";
inline constexpr std::string_view kNotes = "Notes";

constexpr PaneRow ContactRow(std::string_view name, std::string_view tab, ContactRecord::Slot slot,
                             FieldShape shape = FieldShape::Line) {
    const auto index = static_cast<std::size_t>(slot);
    return {name, kContactLabels[index], tab, index, shape};
}

inline constexpr std::array<PaneRow, 34> kContact{{
    ContactRow("title", kGeneral, ContactRecord::Title),
    ContactRow("firstName", kGeneral, ContactRecord::FirstName),
    ContactRow("lastName", kGeneral, ContactRecord::LastName),
    ContactRow("company", kGeneral, ContactRecord::Company),
    ContactRow("jobTitle", kGeneral, ContactRecord::Job),
    ContactRow("email", kGeneral, ContactRecord::Email),
    ContactRow("workPhone1", kPhones, ContactRecord::WorkPhone1),
    ContactRow("workPhone2", kPhones, ContactRecord::WorkPhone2),
    ContactRow("homePhone1", kPhones, ContactRecord::HomePhone1),
    ContactRow("homePhone2", kPhones, ContactRecord::HomePhone2),
    ContactRow("mobilePhone", kPhones, ContactRecord::Mobile),
    ContactRow("pager", kPhones, ContactRecord::Pager),
    ContactRow("fax", kPhones, ContactRecord::Fax),
    ContactRow("pin", kPhones, ContactRecord::Pin),
    ContactRow("otherNumber", kPhones, ContactRecord::OtherNumber),
    ContactRow("workAddress1", kAddresses, ContactRecord::WorkAddress1, F::FewLines),
    ContactRow("workAddress2", kAddresses, ContactRecord::WorkAddress2),
    ContactRow("workCity", kAddresses, ContactRecord::WorkCity),
    ContactRow("workState", kAddresses, ContactRecord::WorkState),
    ContactRow("workZip", kAddresses, ContactRecord::WorkZip),
    ContactRow("workCountry", kAddresses, ContactRecord::WorkCountry),
    ContactRow("homeAddress1", kAddresses, ContactRecord::HomeAddress1, F::FewLines),
    ContactRow("homeAddress2", kAddresses, ContactRecord::HomeAddress2),
    ContactRow("homeCity", kAddresses, ContactRecord::HomeCity),
    ContactRow("homeState", kAddresses, ContactRecord::HomeState),
    ContactRow("homeZip", kAddresses, ContactRecord::HomeZip),
    ContactRow("homeCountry", kAddresses, ContactRecord::HomeCountry),
    ContactRow("birthday", kOther, ContactRecord::Birthday),
    ContactRow("anniversary", kOther, ContactRecord::Anniversary),
    ContactRow("category", kOther, ContactRecord::Category),
    ContactRow("webPage", kOther, ContactRecord::WebPage),
    ContactRow("facebook", kOther, ContactRecord::Facebook),
    ContactRow("yahoo", kOther, ContactRecord::Yahoo),
    {"contactNotes", "", kNotes, ContactRecord::Notes, F::Box},
}};

inline constexpr std::array<PaneRow, 2> kMemo{{
    {"memoTitle", kMemoLabels[MemoRecord::Title], "", MemoRecord::Title},
    {"memoBody", "", "", MemoRecord::Body, F::Box},
}};

inline constexpr std::array<PaneRow, 4> kTask{{
    {"taskTitle", kTaskLabels[TaskRecord::Title], "", TaskRecord::Title},
    {"taskStatus", kTaskLabels[TaskRecord::Status], "", TaskRecord::Status},
    {"taskPriority", kTaskLabels[TaskRecord::Priority], "", TaskRecord::Priority},
    {"taskNotes", kTaskLabels[TaskRecord::Notes], "", TaskRecord::Notes, F::Box},
}};

inline constexpr std::array<PaneRow, 6> kCalendar{{
    {"subject", kCalendarLabels[CalendarRecord::Subject], "", CalendarRecord::Subject},
    {"location", kCalendarLabels[CalendarRecord::Location], "", CalendarRecord::Location},
    {"start", kCalendarLabels[CalendarRecord::Start], "", CalendarRecord::Start},
    {"end", kCalendarLabels[CalendarRecord::End], "", CalendarRecord::End},
    {"duration", kCalendarLabels[CalendarRecord::Duration], "", CalendarRecord::Duration},
    {"appointmentNotes", kCalendarLabels[CalendarRecord::Notes], "", CalendarRecord::Notes, F::Box},
}};

inline constexpr std::array<PaneRow, 6> kCall{{
    {"callName", kCallLabels[CallRecord::Name], "", CallRecord::Name},
    {"callNumber", kCallLabels[CallRecord::Number], "", CallRecord::Number},
    {"callDate", kCallLabels[CallRecord::Date], "", CallRecord::Date},
    {"callDuration", kCallLabels[CallRecord::Duration], "", CallRecord::Duration},
    {"callDirection", kCallLabels[CallRecord::Direction], "", CallRecord::Direction},
    {"callStatus", kCallLabels[CallRecord::Status], "", CallRecord::Status},
}};

}  // namespace orrelin::gui::pane_rows
