#pragma once

// The one way the program lays out a backup's header and name table, into any byte container
// (a std::string or a ByteVector): for split, merge, the service book saves and the generator.
//
// header:  "Inter@ctive Pager Backup/Restore File" 0x0A, version 0x02, database count (BE16), 0x00
// entry:   [name length LE16, counting the closing zero][name][0x00]

#include <cstdint>
#include <string_view>

#include "base/little_endian.h"
#include "ipd/ipd_format.h"

namespace orrelin {

inline constexpr std::uint8_t kWrittenVersion = 0x02;

// Appends the 42-byte header of a file of `databaseCount` databases.
template <typename Out>
void AppendIpdHeader(Out& out, std::uint16_t databaseCount) {
    using Byte = typename Out::value_type;
    out.insert(out.end(), kIpdHeaderText.begin(), kIpdHeaderText.end());
    out.push_back(Byte{'\n'});
    out.push_back(static_cast<Byte>(kWrittenVersion));
    out.push_back(static_cast<Byte>(databaseCount >> 8));  // the format's one big-endian number
    out.push_back(static_cast<Byte>(databaseCount & 0xFF));
    out.push_back(Byte{0});
}

// Appends a name-table entry.
template <typename Out>
void AppendNameEntry(Out& out, std::string_view name) {
    using Byte = typename Out::value_type;
    AppendLe16(out, static_cast<std::uint16_t>(name.size() + 1));
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(Byte{0});
}

template <typename Out>
void AppendNameEntry(Out& out, KnownDb db) {
    AppendNameEntry(out, NameOf(db));
}

}  // namespace orrelin
