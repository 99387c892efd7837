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
};
inline constexpr std::size_t kKnownDbCount = 9;

struct KnownDbInfo {
    KnownDb db;
    std::string_view name;
    // Name-table entry as the writers emit it, in hex text.
    std::string_view entryHex;
};

inline constexpr std::array<KnownDbInfo, kKnownDbCount> kKnownDatabases{{
    {KnownDb::Sms, "SMS Messages", "0D00534D53204D6573736167657300"},
    {KnownDb::AddressBookAll, "Address Book - All", "13004164647265737320426F6F6B202D20416C6C00"},
    {KnownDb::AddressBook, "Address Book", "0D004164647265737320426F6F6B00"},
    {KnownDb::Memos, "Memos", "06004D656D6F7300"},
    {KnownDb::Tasks, "Tasks", "06005461736B7300"},
    {KnownDb::Calendar, "Calendar", "090043616C656E64617200"},
    {KnownDb::CalendarAll, "Calendar - All", "0F0043616C656E646172202D20416C6C00"},
    {KnownDb::ServiceBook, "Service Book", "0D005365727669636520426F6F6B00"},
    {KnownDb::PhoneCallLogs, "Phone Call Logs", "100050686F6E652043616C6C204C6F677300"},
}};

constexpr const KnownDbInfo& Info(KnownDb db) {
    return kKnownDatabases[static_cast<std::size_t>(db)];
}
constexpr std::string_view NameOf(KnownDb db) {
    return Info(db).name;
}

// The database a name (exact, case-sensitive) stands for.
constexpr std::optional<KnownDb> KnownDbByName(std::string_view name) {
    for (const auto& info : kKnownDatabases) {
        if (info.name == name) return info.db;
    }
    return std::nullopt;
}

}  // namespace orrelin
