#pragma once

// The one way the program lays out a backup's header and name table, into any byte container
// (a std::string or a ByteVector): for split, merge, the service book saves and the generator;
// and the one way the loader and the archive builder read them back.
//
// header:  "Inter@ctive Pager Backup/Restore File" 0x0A, version 0x02, database count (BE16), 0x00
// entry:   [name length LE16, counting the closing zero][name][0x00]

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/little_endian.h"
#include "ipd/byte_reader.h"
#include "ipd/ipd_format.h"

namespace orrelin {

inline constexpr std::uint8_t kWrittenVersion = 0x02;

// The database count of a header; nothing when the bytes end before it.
inline std::optional<std::uint16_t> ReadDatabaseCount(Bytes bytes) {
    return ByteReader(bytes, kCountOffset).be16();
}

struct NameEntry {
    Bytes name;          // as the table holds it, closing zero included
    std::uint64_t next;  // where the next entry starts
};

// The name-table entry at `at`; nothing when it runs past the end of `bytes`.
inline std::optional<NameEntry> ReadNameEntry(Bytes bytes, std::uint64_t at) {
    if (at > bytes.size()) return std::nullopt;
    ByteReader reader(bytes, static_cast<std::size_t>(at));
    const std::optional<std::uint16_t> length = reader.le16();
    const std::optional<Bytes> name = length ? reader.takeExact(*length) : std::nullopt;
    if (!name) return std::nullopt;
    return NameEntry{*name, at + 2 + *length};
}

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
