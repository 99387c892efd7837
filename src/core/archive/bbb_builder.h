#pragma once

// Assembles .bbb archives in memory: used by the generator and by tests that state their
// archives in code. The archive side of IpdBuilder.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/bytes.h"
#include "base/result.h"

namespace orrelin {

struct ArchiveEntry {
    std::string name;  // "Databases/125.dat"
    ByteVector bytes;
};

// A ZIP archive of the entries in order, each deflated or stored, all dated alike: the same
// entries give the same bytes.
Result<ByteVector> WriteZip(const std::vector<ArchiveEntry>& entries, bool deflate = true);

// A ZIP archive of one entry `name` holding `zeros` zero bytes (rounded up to one more than a
// multiple of 258) deflated at deflate's highest ratio, about 1032 to 1, and declaring
// `declared` bytes; its checksum is left zero. What a ZIP bomb is, for the tests of its refusal:
// six gigabytes take six megabytes and a fraction of a second. `padding` zero bytes follow the
// deflated ones as part of the entry's packed bytes, so that the entry seems to pack at a ratio
// a backup may have.
ByteVector ZipOfDeflatedZeros(std::string_view name, std::uint64_t zeros, std::uint64_t declared,
                              std::uint64_t padding = 0);

struct ListedDatabase {
    std::string uid;
    std::string name;  // UTF-8
    std::optional<std::uint64_t> recordCount;
};

// The manifest of a Desktop Software archive: the databases under
// /BlackBerry_Backup/<device>/Databases, <device> NessusOSDevice or (BlackBerry 10) QnxOSDevice.
std::string ManifestXml(const std::vector<ListedDatabase>& databases,
                        std::string_view device = "NessusOSDevice");

// One database of an IPD file as a file of its own: the header, its one name, its records
// (renumbered to index 0) in file order.
struct SingleDatabase {
    std::string name;  // the name-table bytes without the closing zero
    ByteVector ipd;
    std::uint64_t records = 0;
};

// Splits a well-formed IPD file into one file per name-table entry, in name-table order. Stops
// at the first damage, keeping what was read before it.
std::vector<SingleDatabase> SplitByDatabase(Bytes ipd);

// The entries of a Desktop Software archive holding `databases`: Manifest.xml, then
// Databases/<uid>.dat for each, uids counted from `firstUid`.
std::vector<ArchiveEntry> DesktopSoftwareEntries(std::vector<SingleDatabase> databases,
                                                 std::uint32_t firstUid = 1);

}  // namespace orrelin
