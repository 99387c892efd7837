#include "archive/archive_backup.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <optional>

#include "archive/manifest.h"
#include "archive/zip_reader.h"
#include "base/little_endian.h"
#include "ipd/ipd_bytes.h"
#include "ipd/ipd_format.h"
#include "ipd/record_frame.h"

namespace orrelin {
namespace {

constexpr std::string_view kManifestName = "Manifest.xml";
constexpr std::string_view kMacManifestName = "BlackBerry_Backup.xml";
constexpr std::string_view kMacDatabasesName = "Databases/Databases.ipd";
constexpr std::string_view kDatabasesFolder = "Databases/";
constexpr std::string_view kDatabaseExtension = ".dat";
constexpr std::uint64_t kManifestLimit = std::uint64_t{64} << 20;
constexpr std::uint16_t kNoDatabase = 0xFFFF;

Failure Damaged(const std::string& why) {
    return Failure{"the archive is damaged: " + why};
}

Failure TooLarge(const std::string& entry, std::uint64_t size) {
    return Failure{entry + " is too large to open: it unpacks to " + std::to_string(size) +
                   " bytes"};
}

Failure TooLargeTogether(std::uint64_t size) {
    return Failure{"the archive's databases are too large to open: they unpack to " +
                   std::to_string(size) + " bytes"};
}

Failure HoldsTooMuch(std::uint64_t size) {
    return Damaged("its databases unpack to " + std::to_string(size) + " bytes, more than the " +
                   std::to_string(kMostInflated) + " a backup can hold");
}

bool HasPrefixIgnoringCase(std::string_view text, std::string_view prefix, bool atEnd) {
    if (text.size() < prefix.size()) return false;
    const std::string_view part =
        atEnd ? text.substr(text.size() - prefix.size()) : text.substr(0, prefix.size());
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(part[i]) != lower(prefix[i])) return false;
    }
    return true;
}

bool IsDatabaseEntry(std::string_view name) {
    return HasPrefixIgnoringCase(name, kDatabasesFolder, false) &&
           HasPrefixIgnoringCase(name, kDatabaseExtension, true) &&
           name.find('/', kDatabasesFolder.size()) == std::string_view::npos;
}

// An entry inflated whole into memory of its own (the manifests).
Result<ByteVector> ReadWhole(const ZipReader& zip, std::uint64_t entry, std::uint64_t limit) {
    auto declared = zip.declaredSize(entry);
    if (!declared) return Damaged(declared.error());
    const std::uint64_t size = *declared;
    if (size > limit) return TooLarge(zip.name(entry), size);
    auto stream = zip.open(entry);
    if (!stream) return Damaged(stream.error());
    ByteVector bytes(static_cast<std::size_t>(size));
    if (auto read = stream->read(bytes.data(), size); !read) return Damaged(read.error());
    if (auto end = stream->finish(); !end) return Damaged(end.error());
    return bytes;
}

Result<Manifest> ReadManifest(const ZipReader& zip, std::uint64_t entry, std::uint64_t limit) {
    auto bytes = ReadWhole(zip, entry, std::min(limit, kManifestLimit));
    if (!bytes) return Failure{bytes.error()};
    auto manifest = ParseManifest(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!manifest) return Damaged(zip.name(entry) + ": " + manifest.error());
    return manifest;
}

std::shared_ptr<std::uint8_t[]> AllocateBlock(std::uint64_t bytes) {
    try {
        std::shared_ptr<std::uint8_t[]> block(new std::uint8_t[static_cast<std::size_t>(bytes)]);
        AskForLargePages(block.get(), static_cast<std::size_t>(bytes));
        return block;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// How far the databases are unpacked, told to the caller after each piece.
struct Unpacking {
    const ProgressCallback& progress;
    std::uint64_t done = 0;
    std::uint64_t total = 0;
};

// Inflates `size` bytes into `out` a few megabytes at a time, so that a cancel takes effect
// within moments.
Status Unpack(ZipReader::Stream& stream, std::uint8_t* out, std::uint64_t size,
              Unpacking& unpacking) {
    constexpr std::uint64_t kPiece = std::uint64_t{4} << 20;
    while (size > 0) {
        const std::uint64_t n = std::min(size, kPiece);
        if (auto read = stream.read(out, n); !read) return Damaged(read.error());
        out += n;
        size -= n;
        unpacking.done += n;
        if (unpacking.progress && !unpacking.progress(unpacking.done, unpacking.total))
            return Failure{std::string(kOpenCancelled)};
    }
    return {};
}

// The Desktop Manager for Mac layout: one whole IPD file.
Result<OpenedImage> ReadWholeIpdEntry(const ZipReader& zip, std::uint64_t entry,
                                      std::uint64_t limit, const ProgressCallback& progress) {
    auto declared = zip.declaredSize(entry);
    if (!declared) return Damaged(declared.error());
    const std::uint64_t size = *declared;
    if (size >= limit) return TooLarge(zip.name(entry), size);
    auto block = AllocateBlock(size + 1);
    if (!block) return TooLarge(zip.name(entry), size);
    auto stream = zip.open(entry);
    if (!stream) return Damaged(stream.error());
    Unpacking unpacking{progress, 0, size};
    if (auto read = Unpack(*stream, block.get(), size, unpacking); !read)
        return Failure{read.error()};
    if (auto end = stream->finish(); !end) return Damaged(end.error());
    IpdImage image(std::move(block), static_cast<std::size_t>(size));
    if (ClassifyIpdStart(image.fileBytes()) != IpdStart::Plain)
        return Failure{std::string(kEncryptedBackup)};
    return OpenedImage{std::move(image), {}};
}

// One Databases/<uid>.dat entry on its way into the merged image.
struct DatabaseEntry {
    std::uint64_t entry = 0;
    std::string name;
    const ManifestDatabase* listed = nullptr;
    std::uint64_t size = 0;
    std::uint64_t headLength = 0;       // header and name table
    std::vector<std::uint16_t> merged;  // local database index -> merged index
    bool usable = false;
    bool encrypted = false;
};

std::string Describe(const DatabaseEntry& e) {
    if (!e.listed || e.listed->name.empty()) return e.name;
    return e.name + " (\"" + e.listed->name + "\")";
}

// The merged name table: each distinct name once, in the order first met. Names are looked up
// as strings of their bytes (only equality counts).
struct NameTable {
    std::map<std::string, std::uint16_t> index;
    ByteVector entries;
    std::uint16_t count = 0;
};

// Reads an entry's header and name table, the first bytes inflated, and gives its names their
// merged indexes. Damage of the archive fails; an entry that is not a plain IPD file is left
// unusable with a warning, or counted as encrypted.
Status ReadHead(const ZipReader& zip, DatabaseEntry& e, NameTable& names,
                std::vector<std::string>& warnings) {
    if (e.size == 0) return {};
    auto stream = zip.open(e.entry);
    if (!stream) return Damaged(stream.error());
    ByteVector head(std::min<std::uint64_t>(e.size, kIpdHeaderSize));
    if (auto read = stream->read(head.data(), head.size()); !read) return Damaged(read.error());
    const IpdStart start = ClassifyIpdStart(head);
    if (start != IpdStart::Plain) {
        e.encrypted = true;
        warnings.push_back(Describe(e) + " is encrypted: its records are left out");
        return {};
    }
    if (head.size() < kIpdHeaderSize) {
        warnings.push_back(e.name + ": the entry is too short for a backup header");
        return {};
    }
    const std::uint16_t count = *ReadDatabaseCount(head);
    std::uint64_t at = kIpdHeaderSize;
    std::vector<ByteVector> local;
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint8_t length[2];
        if (e.size - at < 2) break;
        if (auto read = stream->read(length, 2); !read) return Damaged(read.error());
        const auto n = static_cast<std::uint16_t>(length[0] | length[1] << 8);
        at += 2;
        if (e.size - at < n) {
            at = e.size + 1;
            break;
        }
        ByteVector name(n);
        if (auto read = stream->read(name.data(), n); !read) return Damaged(read.error());
        at += n;
        local.push_back(std::move(name));
    }
    if (local.size() < count) {
        warnings.push_back(e.name + ": the database name table runs past the end of the entry");
        return {};
    }
    for (auto& name : local) {
        auto [it, added] =
            names.index.try_emplace(std::string(name.begin(), name.end()), names.count);
        if (added) {
            if (names.count == kNoDatabase) return Failure{"the archive holds too many databases"};
            AppendLe16(names.entries, static_cast<std::uint16_t>(name.size()));
            names.entries.insert(names.entries.end(), name.begin(), name.end());
            ++names.count;
        }
        e.merged.push_back(it->second);
    }
    e.headLength = at;
    e.usable = true;
    return {};
}

struct Compacted {
    std::uint64_t length = 0;  // the bytes kept
    std::uint64_t records = 0;
    std::uint64_t unnamed = 0;
    std::optional<std::string> stop;
};

// Walks the records inflated at `at` (as "[database index LE16][length LE32][the rest]"),
// renumbering each to its merged database and moving it down over the records left out.
Compacted Compact(std::uint8_t* at, std::uint64_t length,
                  const std::vector<std::uint16_t>& merged) {
    Compacted out;
    const std::span<std::uint8_t> bytes(at, static_cast<std::size_t>(length));
    const Bytes records(bytes);
    std::uint64_t r = 0;
    std::uint64_t w = 0;
    while (r < length) {
        const std::uint64_t left = length - r;
        const std::uint8_t* p = at + r;
        // A filler may stand between two records (and here before the first one too).
        if (left >= kFillerSize && IsFiller(records.subspan(static_cast<std::size_t>(r)))) {
            r += kFillerSize;
            continue;
        }
        const std::optional<RecordHeader> header = ReadRecordHeader(records, r);
        if (!header) {
            out.stop = "a record header runs past the end of the entry";
            break;
        }
        const std::uint16_t database = header->database;
        const std::uint64_t size = header->size();
        if (size > left) {
            out.stop = "a record runs past the end of the entry";
            break;
        }
        if (database == kNoDatabase) {
            r += size;
            continue;
        }
        if (database >= merged.size()) {
            ++out.unnamed;
            r += size;
            continue;
        }
        if (w != r) std::memmove(at + w, p, static_cast<std::size_t>(size));
        SetRecordDatabase(bytes, static_cast<std::size_t>(w), merged[database]);
        w += size;
        r += size;
        ++out.records;
    }
    if (out.stop)
        out.stop = "the records stop at byte offset " + std::to_string(r) + ": " + *out.stop;
    out.length = w;
    return out;
}

// Inflates an entry's records into place and keeps those of its named databases.
Result<Compacted> ReadRecords(const ZipReader& zip, const DatabaseEntry& e, std::uint8_t* at,
                              Unpacking& unpacking) {
    auto stream = zip.open(e.entry);
    if (!stream) return Damaged(stream.error());
    ByteVector head(static_cast<std::size_t>(e.headLength));
    if (auto read = stream->read(head.data(), head.size()); !read) return Damaged(read.error());
    const std::uint64_t length = e.size - e.headLength;
    if (auto read = Unpack(*stream, at, length, unpacking); !read) return Failure{read.error()};
    if (auto end = stream->finish(); !end) return Damaged(end.error());
    Compacted compacted = Compact(at, length, e.merged);
    // Offsets in a warning count from the entry's first byte.
    if (compacted.stop) compacted.stop = e.name + ": " + *compacted.stop;
    return compacted;
}

void CheckCount(const DatabaseEntry& e, std::uint64_t found, std::vector<std::string>& warnings) {
    if (!e.listed || !e.listed->recordCount || *e.listed->recordCount == found) return;
    warnings.push_back(std::string(kManifestName) + " counts " +
                       std::to_string(*e.listed->recordCount) + " records in \"" + e.listed->name +
                       "\" but " + e.name + " holds " + std::to_string(found));
}

// The Desktop Software layout: the .dat entries merged into one image.
Result<OpenedImage> MergeDatabases(const ZipReader& zip, const Manifest& manifest,
                                   std::uint64_t limit, const ProgressCallback& progress) {
    std::vector<DatabaseEntry> entries;
    std::vector<bool> taken(static_cast<std::size_t>(zip.entryCount()), false);
    std::vector<std::string> warnings;
    for (const ManifestDatabase& listed : manifest.databases) {
        const std::string name = std::string(kDatabasesFolder) + listed.uid + ".dat";
        auto entry = listed.uid.empty() ? std::nullopt : zip.find(name);
        if (!entry || taken[static_cast<std::size_t>(*entry)]) {
            if (listed.recordCount && *listed.recordCount > 0) {
                warnings.push_back(std::string(kManifestName) + " counts " +
                                   std::to_string(*listed.recordCount) + " records in \"" +
                                   listed.name + "\" but the archive holds no " + name);
            }
            continue;
        }
        taken[static_cast<std::size_t>(*entry)] = true;
        entries.push_back(DatabaseEntry{*entry, zip.name(*entry), &listed, 0, 0, {}, false, false});
    }
    for (std::uint64_t i = 0; i < zip.entryCount(); ++i) {
        if (taken[static_cast<std::size_t>(i)] || !IsDatabaseEntry(zip.name(i))) continue;
        entries.push_back(DatabaseEntry{i, zip.name(i), nullptr, 0, 0, {}, false, false});
    }

    NameTable names;
    bool encrypted = false;
    std::uint64_t total = kIpdHeaderSize;
    for (DatabaseEntry& e : entries) {
        auto declared = zip.declaredSize(e.entry);
        if (!declared) return Damaged(declared.error());
        e.size = *declared;
        if (e.size >= limit) return TooLarge(e.name, e.size);
        if (auto head = ReadHead(zip, e, names, warnings); !head) return Failure{head.error()};
        encrypted = encrypted || e.encrypted;
        if (e.usable) total += e.size - e.headLength;
        if (total > kMostInflated) return HoldsTooMuch(total);
        if (total >= limit) return TooLargeTogether(total);
    }
    const bool anyUsable =
        std::any_of(entries.begin(), entries.end(), [](const auto& e) { return e.usable; });
    if (encrypted && !anyUsable) return Failure{std::string(kEncryptedBackup)};
    total += names.entries.size();
    if (total > kMostInflated) return HoldsTooMuch(total);
    if (total >= limit) return TooLargeTogether(total);

    auto block = AllocateBlock(total + 1);
    if (!block) return TooLargeTogether(total);
    std::uint8_t* out = block.get();
    ByteVector head;
    AppendIpdHeader(head, names.count);
    head.insert(head.end(), names.entries.begin(), names.entries.end());
    std::memcpy(out, head.data(), head.size());
    std::uint64_t w = head.size();
    Unpacking unpacking{progress, 0, total};
    for (const DatabaseEntry& e : entries) {
        if (!e.usable) {
            if (!e.encrypted) CheckCount(e, 0, warnings);
            continue;
        }
        auto records = ReadRecords(zip, e, out + w, unpacking);
        if (!records) return Failure{records.error()};
        w += records->length;
        if (records->stop) warnings.push_back(*records->stop);
        if (records->unnamed > 0) {
            warnings.push_back(e.name + ": " + std::to_string(records->unnamed) +
                               " records name no database of the entry and are left out");
        }
        CheckCount(e, records->records, warnings);
    }
    return OpenedImage{IpdImage(std::move(block), static_cast<std::size_t>(w)),
                       std::move(warnings)};
}

Result<OpenedImage> AssembleArchive(Bytes archive, std::uint64_t limit,
                                    const ProgressCallback& progress) {
    auto zip = ZipReader::Open(archive);
    if (!zip) return Failure{zip.error()};
    Manifest manifest;
    bool listed = false;
    for (std::string_view name : {kManifestName, kMacManifestName}) {
        auto entry = zip->find(name);
        if (!entry) continue;
        auto read = ReadManifest(*zip, *entry, limit);
        if (!read) return Failure{read.error()};
        if (read->blackBerry10) return Failure{std::string(kBlackBerry10Backup)};
        if (name == kManifestName) {
            manifest = std::move(*read);
            listed = true;
        }
    }
    if (auto whole = zip->find(kMacDatabasesName))
        return ReadWholeIpdEntry(*zip, *whole, limit, progress);
    bool anyDatabase = listed;
    for (std::uint64_t i = 0; i < zip->entryCount() && !anyDatabase; ++i)
        anyDatabase = IsDatabaseEntry(zip->name(i));
    if (!anyDatabase) return Failure{std::string(kNotABackup)};
    return MergeDatabases(*zip, manifest, limit, progress);
}

}  // namespace

Result<OpenedImage> ReadArchiveBackup(Bytes archive, std::uint64_t limit,
                                      const ProgressCallback& progress) {
    auto opened = AssembleArchive(archive, limit, progress);
    if (opened) opened->image.setFromArchive(true);
    return opened;
}

}  // namespace orrelin
