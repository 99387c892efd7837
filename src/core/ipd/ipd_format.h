#pragma once

// The IPD layout, stated once.
//
// header:  "Inter@ctive Pager Backup/Restore File" 0x0A, version, database count (BE16), 0x00
// names:   count entries of [length LE16, counting the closing zero][name bytes][0x00]
// records: [database index LE16][length LE32][version][handle LE16][unique id 4][fields]
//          where length counts everything after the length field itself
// fields:  [data length LE16][type][data]
// filler:  FF FF 02 00 00 xx or FF FF 02 00 01 xx may stand between two records

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace orrelin {

inline constexpr std::string_view kIpdHeaderText = "Inter@ctive Pager Backup/Restore File";
inline constexpr std::size_t kIpdHeaderSize = 42;
inline constexpr std::size_t kCountOffset = 39;  // the one big-endian number of the format

// Where the parts of a record lie, counted from its first byte (its database index).
inline constexpr std::size_t kRecordLengthAt = 2;  // LE32: the bytes after it, version on
inline constexpr std::size_t kRecordVersionAt = 6;
inline constexpr std::size_t kRecordHandleAt = 7;  // LE16; a record's span starts here
inline constexpr std::size_t kRecordUniqueIdAt = 9;
inline constexpr std::size_t kRecordFieldsAt = 13;
// The same for a record's body (its span, from the handle): the fields follow the handle and
// the unique id.
inline constexpr std::size_t kBodyFieldsAt = kRecordFieldsAt - kRecordHandleAt;

// The databases the program reads, in the order the record walk compares them. The numbers
// are the slots of the loaded file.
enum class KnownDb : std::uint8_t {
    Sms,
    AddressBookAll,
    AddressBook,
    Memos,
    Tasks,
    Calendar,
    CalendarAll,
    ServiceBook,
    PhoneCallLogs,
    Messages,
    PinMessages,
    SavedEmail,
    BrowserBookmarks,
    BrowserUrls,
    BrowserHistory,
    TimeZones,
};
inline constexpr std::size_t kKnownDbCount = 16;

struct KnownDbInfo {
    KnownDb db;
    std::string_view name;
    // The "- All" form: the record's fields lie inside its first type-10 field.
    bool allForm = false;
};

inline constexpr std::array<KnownDbInfo, kKnownDbCount> kKnownDatabases{{
    {KnownDb::Sms, "SMS Messages"},
    {KnownDb::AddressBookAll, "Address Book - All", true},
    {KnownDb::AddressBook, "Address Book"},
    {KnownDb::Memos, "Memos"},
    {KnownDb::Tasks, "Tasks"},
    {KnownDb::Calendar, "Calendar"},
    {KnownDb::CalendarAll, "Calendar - All", true},
    {KnownDb::ServiceBook, "Service Book"},
    {KnownDb::PhoneCallLogs, "Phone Call Logs"},
    {KnownDb::Messages, "Messages"},
    {KnownDb::PinMessages, "PIN Messages"},
    {KnownDb::SavedEmail, "Saved Email Messages"},
    {KnownDb::BrowserBookmarks, "Browser Bookmarks"},
    {KnownDb::BrowserUrls, "Browser URLs"},
    {KnownDb::BrowserHistory, "Browser History"},
    {KnownDb::TimeZones, "Time Zones"},
}};

constexpr const KnownDbInfo& Info(KnownDb db) {
    return kKnownDatabases[static_cast<std::size_t>(db)];
}
constexpr std::string_view NameOf(KnownDb db) {
    return Info(db).name;
}
constexpr bool IsAllForm(KnownDb db) {
    return Info(db).allForm;
}

// The database a name (exact, case-sensitive) stands for.
constexpr std::optional<KnownDb> KnownDbByName(std::string_view name) {
    for (const auto& info : kKnownDatabases) {
        if (info.name == name) return info.db;
    }
    return std::nullopt;
}

}  // namespace orrelin
