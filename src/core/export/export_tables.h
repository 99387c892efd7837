#pragma once

// What an export file is made of, stated once: the kinds of record that can be exported, the
// option captions that choose them, the banner titles, the column names of each kind (the text
// labels and the CSV header come from them) and the databases a whole-file export visits.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "decoders/calendar_decoder.h"
#include "decoders/call_decoder.h"
#include "decoders/contact_decoder.h"
#include "decoders/memo_decoder.h"
#include "decoders/sms_decoder.h"
#include "decoders/task_decoder.h"
#include "ipd/ipd_format.h"

namespace orrelin {

enum class ExportFormat { Text, Csv };

// The six kinds of record that can be exported; the two address books share one kind and so do
// the two calendars.
enum class RecordKind { Sms, Address, Task, Memo, Calendar, PhoneCall };
inline constexpr std::size_t kRecordKindCount = 6;

inline constexpr std::string_view kLineBreak = "\r\n";
// A banner is this row, a title line and this row again.
inline constexpr std::string_view kBannerRow =
    "***********************************************************************";
// The second line of every text block.
inline constexpr std::string_view kRecordRule = "--------------------------------------------";
static_assert(kBannerRow.size() == 71 && kRecordRule.size() == 44);

// One exported value: its column name (the text label is the name and ": ") and the slot of
// the decoded record it comes from.
struct ExportColumn {
    std::string_view name;
    std::size_t slot;
};

inline constexpr std::array<ExportColumn, 5> kSmsColumns{{
    {"Status", SmsRecord::Direction},
    {"Sent Date", SmsRecord::SentDate},
    {"Received Date", SmsRecord::ReceivedDate},
    {"Number", SmsRecord::Number},
    {"Message", SmsRecord::Text},
}};

// The home address comes before the work address here, unlike the record's own order.
inline constexpr std::array<ExportColumn, 31> kAddressColumns{{
    {"Title", ContactRecord::Title},
    {"First Name", ContactRecord::FirstName},
    {"Last Name", ContactRecord::LastName},
    {"Company", ContactRecord::Company},
    {"Job", ContactRecord::Job},
    {"Email", ContactRecord::Email},
    {"Work Phone 1", ContactRecord::WorkPhone1},
    {"Work Phone 2", ContactRecord::WorkPhone2},
    {"Home Phone 1", ContactRecord::HomePhone1},
    {"Home Phone 2", ContactRecord::HomePhone2},
    {"Mobile", ContactRecord::Mobile},
    {"Pager", ContactRecord::Pager},
    {"Fax", ContactRecord::Fax},
    {"PIN", ContactRecord::Pin},
    {"Home Address 1", ContactRecord::HomeAddress1},
    {"Home Address 2", ContactRecord::HomeAddress2},
    {"Home City", ContactRecord::HomeCity},
    {"Home State", ContactRecord::HomeState},
    {"Home ZIP", ContactRecord::HomeZip},
    {"Home Country", ContactRecord::HomeCountry},
    {"Work Address 1", ContactRecord::WorkAddress1},
    {"Work Address 2", ContactRecord::WorkAddress2},
    {"Work City", ContactRecord::WorkCity},
    {"Work State", ContactRecord::WorkState},
    {"Work ZIP", ContactRecord::WorkZip},
    {"Work Country", ContactRecord::WorkCountry},
    {"Birthday", ContactRecord::Birthday},
    {"Anniversary", ContactRecord::Anniversary},
    {"Category", ContactRecord::Category},
    {"Web Page", ContactRecord::WebPage},
    {"Notes", ContactRecord::Notes},
}};

inline constexpr std::array<ExportColumn, 4> kTaskColumns{{
    {"Task", TaskRecord::Title},
    {"Status", TaskRecord::Status},
    {"Priority", TaskRecord::Priority},
    {"Notes", TaskRecord::Notes},
}};

inline constexpr std::array<ExportColumn, 2> kMemoColumns{{
    {"Title", MemoRecord::Title},
    {"Memo", MemoRecord::Body},
}};

inline constexpr std::array<ExportColumn, 6> kCalendarColumns{{
    {"Subject", CalendarRecord::Subject},
    {"Location", CalendarRecord::Location},
    {"Start", CalendarRecord::Start},
    {"End", CalendarRecord::End},
    {"Duration", CalendarRecord::Duration},
    {"Notes", CalendarRecord::Notes},
}};

inline constexpr std::array<ExportColumn, 6> kPhoneCallColumns{{
    {"Name", CallRecord::Name},
    {"Number", CallRecord::Number},
    {"Date", CallRecord::Date},
    {"Duration", CallRecord::Duration},
    {"Direction", CallRecord::Direction},
    {"Status", CallRecord::Status},
}};

// Everything an export says about one kind of record. The captions are the texts of the
// panel's first two options; exports of one record or one database pick their banner (and the
// CSV header) by comparing the chosen option's caption with them.
struct RecordKindInfo {
    RecordKind kind;
    std::string_view selectedCaption;  // one record
    std::string_view allCaption;       // all records of its database
    std::string_view selectedTitle;    // banner title of a one-record export
    std::string_view allTitle;         // banner title of a one-database export
    std::span<const ExportColumn> columns;
    // The text block ends with a line break, so an empty line follows the record.
    bool blankLineAfter;
};

inline constexpr std::array<RecordKindInfo, kRecordKindCount> kRecordKinds{{
    {RecordKind::Sms, "Export Selected SMS Message", "Export All SMS Messages", "SMS Message",
     "SMS Message", kSmsColumns, false},
    {RecordKind::Address, "Export Selected Address", "Export All Addresses", "Address Book",
     "Address Book", kAddressColumns, true},
    {RecordKind::Task, "Export Selected Task", "Export All Tasks", "Task", "Tasks", kTaskColumns,
     false},
    {RecordKind::Memo, "Export Selected Memo", "Export All Memos", "Memo", "Memos", kMemoColumns,
     false},
    {RecordKind::Calendar, "Export Selected Calendar", "Export All Calendar", "Calendar",
     "Calendar", kCalendarColumns, false},
    {RecordKind::PhoneCall, "Export Selected Phone Call", "Export All Phone Calls", "Phone Calls",
     "Phone Calls", kPhoneCallColumns, false},
}};

// Banner titles of one-record and one-database exports stand behind this many spaces.
inline constexpr std::size_t kOptionTitleIndent = 27;

constexpr const RecordKindInfo& InfoOf(RecordKind kind) {
    return kRecordKinds[static_cast<std::size_t>(kind)];
}

// An exportable database: the kind its records are, whether they use the "- All" layout, and
// its banner in a whole-file export.
struct ExportDatabaseInfo {
    KnownDb db;
    RecordKind kind;
    bool allForm;
    std::size_t titleIndent;
    std::string_view title;
};

inline constexpr std::array<ExportDatabaseInfo, 8> kExportDatabases{{
    {KnownDb::Sms, RecordKind::Sms, false, 27, "SMS Messages"},
    {KnownDb::AddressBookAll, RecordKind::Address, true, 27, "Address Book"},
    {KnownDb::AddressBook, RecordKind::Address, false, 27, "Address Book"},
    {KnownDb::CalendarAll, RecordKind::Calendar, true, 26, "Calendar"},
    {KnownDb::Calendar, RecordKind::Calendar, false, 26, "Calendar"},
    {KnownDb::Tasks, RecordKind::Task, false, 26, "Tasks"},
    {KnownDb::Memos, RecordKind::Memo, false, 26, "Memos"},
    {KnownDb::PhoneCallLogs, RecordKind::PhoneCall, false, 26, "Phone Call Logs"},
}};

// The exportable database a node text names (exact, case-sensitive); nothing for "Service
// Book" and any other text.
constexpr const ExportDatabaseInfo* ExportDatabaseByName(std::string_view name) {
    auto db = KnownDbByName(name);
    if (!db) return nullptr;
    for (const auto& info : kExportDatabases) {
        if (info.db == *db) return &info;
    }
    return nullptr;
}

}  // namespace orrelin
