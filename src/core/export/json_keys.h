#pragma once

// The keys of a record's "values" object in the JSON export, per database, stated once: the
// writer and the tests read them, and README.md documents them. Keys are stable: each always
// means the same value. A value the record lacks (an empty text, no time) is left out.

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "decoders/calendar_decoder.h"
#include "decoders/call_decoder.h"
#include "decoders/contact_decoder.h"
#include "decoders/memo_decoder.h"
#include "decoders/servicebook_decoder.h"
#include "decoders/sms_decoder.h"
#include "decoders/task_decoder.h"
#include "ipd/ipd_format.h"

namespace orrelin {

// A text value: its key and the decoded record's slot it comes from.
struct JsonTextKey {
    std::string_view key;
    std::size_t slot;
};

inline constexpr std::array<JsonTextKey, 4> kSmsJsonKeys{{
    {"direction", SmsRecord::Direction},
    {"folder", SmsRecord::Folder},
    {"number", SmsRecord::Number},
    {"text", SmsRecord::Text},
}};
// Times of a message, as instants.
inline constexpr std::string_view kSmsSentKey = "sent_time";
inline constexpr std::string_view kSmsReceivedKey = "received_time";

inline constexpr std::array<JsonTextKey, 33> kContactJsonKeys{{
    {"title", ContactRecord::Title},
    {"first_name", ContactRecord::FirstName},
    {"last_name", ContactRecord::LastName},
    {"company", ContactRecord::Company},
    {"job", ContactRecord::Job},
    {"email", ContactRecord::Email},
    {"work_phone_1", ContactRecord::WorkPhone1},
    {"work_phone_2", ContactRecord::WorkPhone2},
    {"home_phone_1", ContactRecord::HomePhone1},
    {"home_phone_2", ContactRecord::HomePhone2},
    {"mobile", ContactRecord::Mobile},
    {"pager", ContactRecord::Pager},
    {"fax", ContactRecord::Fax},
    {"other_number", ContactRecord::OtherNumber},
    {"pin", ContactRecord::Pin},
    {"work_address_1", ContactRecord::WorkAddress1},
    {"work_address_2", ContactRecord::WorkAddress2},
    {"work_city", ContactRecord::WorkCity},
    {"work_state", ContactRecord::WorkState},
    {"work_zip", ContactRecord::WorkZip},
    {"work_country", ContactRecord::WorkCountry},
    {"home_address_1", ContactRecord::HomeAddress1},
    {"home_address_2", ContactRecord::HomeAddress2},
    {"home_city", ContactRecord::HomeCity},
    {"home_state", ContactRecord::HomeState},
    {"home_zip", ContactRecord::HomeZip},
    {"home_country", ContactRecord::HomeCountry},
    {"birthday", ContactRecord::Birthday},
    {"anniversary", ContactRecord::Anniversary},
    {"category", ContactRecord::Category},
    {"web_page", ContactRecord::WebPage},
    {"facebook", ContactRecord::Facebook},
    {"notes", ContactRecord::Notes},
}};
// Whether the contact holds a JPEG photo (the vCard export carries the photo itself).
inline constexpr std::string_view kContactPhotoKey = "has_photo";

inline constexpr std::array<JsonTextKey, 3> kCalendarJsonKeys{{
    {"subject", CalendarRecord::Subject},
    {"location", CalendarRecord::Location},
    {"notes", CalendarRecord::Notes},
}};
inline constexpr std::string_view kCalendarStartKey = "start_time";
inline constexpr std::string_view kCalendarEndKey = "end_time";

inline constexpr std::array<JsonTextKey, 4> kTaskJsonKeys{{
    {"title", TaskRecord::Title},
    {"status", TaskRecord::Status},
    {"priority", TaskRecord::Priority},
    {"notes", TaskRecord::Notes},
}};

inline constexpr std::array<JsonTextKey, 2> kMemoJsonKeys{{
    {"title", MemoRecord::Title},
    {"body", MemoRecord::Body},
}};

inline constexpr std::array<JsonTextKey, 4> kCallJsonKeys{{
    {"name", CallRecord::Name},
    {"number", CallRecord::Number},
    {"direction", CallRecord::Direction},
    {"status", CallRecord::Status},
}};
inline constexpr std::string_view kCallTimeKey = "time";
inline constexpr std::string_view kCallDurationKey = "duration_seconds";

// Service book values are texts as the pane shows them; the four bytes of the gateway address
// (values 5 to 8) are joined by "." into one "gateway_ip" ("" when the entry has none).
inline constexpr std::array<JsonTextKey, 18> kServiceBookJsonKeys{{
    {"name", 17},
    {"uid", 18},
    {"cid", 19},
    {"user_id", 20},
    {"description", 21},
    {"network_provider_code", 0},
    {"wireless_network", 1},
    {"network_name", 2},
    {"apn", 3},
    {"qos", 4},
    {"port_1", 9},
    {"port_2", 10},
    {"home_page", 11},
    {"data_source", 12},
    {"data_source_uid", 13},
    {"gateway_url", 14},
    {"config_name", 15},
    {"config_description", 16},
}};
inline constexpr std::string_view kServiceBookGatewayIpKey = "gateway_ip";
inline constexpr std::size_t kServiceBookGatewayIpFirst = 5;
inline constexpr std::size_t kServiceBookGatewayIpCount = 4;

// Every key the "values" object of a record of `db` holds, texts first, in writing order.
struct JsonKeySet {
    std::span<const JsonTextKey> texts;
    std::array<std::string_view, 2> others;  // times and numbers; "" where unused
};

constexpr JsonKeySet JsonKeysOf(KnownDb db) {
    switch (db) {
        case KnownDb::Sms:
            return {kSmsJsonKeys, {kSmsSentKey, kSmsReceivedKey}};
        case KnownDb::AddressBook:
        case KnownDb::AddressBookAll:
            return {kContactJsonKeys, {kContactPhotoKey, ""}};
        case KnownDb::Calendar:
        case KnownDb::CalendarAll:
            return {kCalendarJsonKeys, {kCalendarStartKey, kCalendarEndKey}};
        case KnownDb::Tasks:
            return {kTaskJsonKeys, {"", ""}};
        case KnownDb::Memos:
            return {kMemoJsonKeys, {"", ""}};
        case KnownDb::PhoneCallLogs:
            return {kCallJsonKeys, {kCallTimeKey, kCallDurationKey}};
        case KnownDb::ServiceBook:
            return {kServiceBookJsonKeys, {kServiceBookGatewayIpKey, ""}};
    }
    return {};
}

}  // namespace orrelin
