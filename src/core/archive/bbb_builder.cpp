#include "archive/bbb_builder.h"

#include <zip.h>

#include <ctime>
#include <memory>

#include "base/little_endian.h"
#include "ipd/byte_reader.h"
#include "ipd/ipd_bytes.h"
#include "ipd/ipd_format.h"
#include "ipd/record_frame.h"

namespace orrelin {
namespace {

// 2010-01-01 12:00 local time: an archive stores the local date and time of its entries, so
// this instant gives the same stored bytes in every time zone.
time_t EntryTime() {
    std::tm when{};
    when.tm_year = 110;
    when.tm_mday = 1;
    when.tm_hour = 12;
    when.tm_isdst = -1;
    return std::mktime(&when);
}

struct ArchiveDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

std::string ArchiveError(zip_error_t* error) {
    std::string text = zip_error_strerror(error);
    zip_error_fini(error);
    return "cannot write the archive: " + text;
}

void AppendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out.push_back(c);
        }
    }
}

// Bits into bytes, the first bit in the lowest place, as deflate packs them.
class BitWriter {
  public:
    explicit BitWriter(ByteVector& out) : out_(out) {}
    void bits(std::uint32_t value, int count) {
        pending_ |= static_cast<std::uint64_t>(value) << held_;
        held_ += count;
        for (; held_ >= 8; held_ -= 8, pending_ >>= 8)
            out_.push_back(static_cast<std::uint8_t>(pending_));
    }
    // A Huffman code goes in from its highest bit.
    void code(std::uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i)
            bits(value >> i & 1, 1);
    }
    void flush() {
        if (held_ > 0) out_.push_back(static_cast<std::uint8_t>(pending_));
        pending_ = 0;
        held_ = 0;
    }

  private:
    ByteVector& out_;
    std::uint64_t pending_ = 0;
    int held_ = 0;
};

// One dynamic block: a literal zero, then copies of 258 bytes at distance 1, each 2 bits. The
// literal/length code gives 285 (length 258) one bit, 0 and 256 (end) two; the distance code
// holds distance 1 alone.
ByteVector DeflatedZeros(std::uint64_t copies) {
    ByteVector out;
    out.reserve(static_cast<std::size_t>(copies / 4 + 64));
    BitWriter w(out);
    w.bits(1, 1);   // the last block
    w.bits(2, 2);   // dynamic codes
    w.bits(29, 5);  // 286 literal/length lengths
    w.bits(0, 5);   // 1 distance length
    w.bits(14,
           4);  // 18 code-length lengths, in the order 16 17 18 0 8 7 9 6 10 5 11 4 12 3 13 2 14 1
    for (std::uint32_t length :
         {0u, 0u, 1u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 2u, 0u, 2u})
        w.bits(length, 3);
    // Code lengths, coded 18 -> 0, 1 -> 10, 2 -> 11 (18 repeats a zero 11 + 7 bits times).
    w.code(3, 2);                  // literal 0: length 2
    w.code(0, 1), w.bits(127, 7);  // literals 1-138: none
    w.code(0, 1), w.bits(106, 7);  // 139-255
    w.code(3, 2);                  // 256: length 2
    w.code(0, 1), w.bits(17, 7);   // 257-284: none
    w.code(2, 2);                  // 285: length 1
    w.code(2, 2);                  // distance 1: length 1
    w.code(2, 2);                  // the literal zero (0 -> 10, 256 -> 11, 285 -> 0)
    for (; copies >= 4; copies -= 4)
        w.bits(0, 8);  // four copies a byte
    for (; copies > 0; --copies)
        w.bits(0, 2);
    w.code(3, 2);  // end of block
    w.flush();
    return out;
}

}  // namespace

ByteVector ZipOfDeflatedZeros(std::string_view name, std::uint64_t zeros, std::uint64_t declared,
                              std::uint64_t padding) {
    ByteVector data = DeflatedZeros(zeros > 1 ? (zeros - 1 + 257) / 258 : 0);
    data.resize(data.size() + static_cast<std::size_t>(padding), 0);
    // Sizes go in the ZIP64 extra field of both headers, whatever they are.
    auto header = [&](std::uint32_t signature, bool central) {
        ByteVector h;
        AppendLe32(h, signature);
        if (central) AppendLe16(h, 45);  // made by
        AppendLe16(h, 45);               // needed: ZIP64
        AppendLe16(h, 0);                // flags
        AppendLe16(h, 8);                // deflated
        AppendLe32(h, 0x3C216000);       // 2010-01-01 12:00
        AppendLe32(h, 0);                // checksum
        AppendLe32(h, 0xFFFFFFFF);       // packed and unpacked size: in the extra field
        AppendLe32(h, 0xFFFFFFFF);
        AppendLe16(h, static_cast<std::uint16_t>(name.size()));
        AppendLe16(h, 20);                      // extra field length
        if (central) h.insert(h.end(), 14, 0);  // comment, disk, attributes, local header at 0
        h.insert(h.end(), name.begin(), name.end());
        AppendLe16(h, 1);  // ZIP64 extra field
        AppendLe16(h, 16);
        AppendLe(h, declared, 8);
        AppendLe(h, data.size(), 8);
        return h;
    };
    ByteVector zip = header(0x04034B50, false);
    zip.insert(zip.end(), data.begin(), data.end());
    const std::uint64_t directoryAt = zip.size();
    const ByteVector central = header(0x02014B50, true);
    zip.insert(zip.end(), central.begin(), central.end());
    AppendLe32(zip, 0x06054B50);  // end of central directory
    AppendLe(zip, 0, 4);          // disks
    AppendLe16(zip, 1);
    AppendLe16(zip, 1);
    AppendLe32(zip, static_cast<std::uint32_t>(central.size()));
    AppendLe32(zip, static_cast<std::uint32_t>(directoryAt));
    AppendLe16(zip, 0);
    return zip;
}

Result<ByteVector> WriteZip(const std::vector<ArchiveEntry>& entries, bool deflate) {
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFree> target(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!target) return Failure{ArchiveError(&error)};
    std::unique_ptr<zip_t, ArchiveDiscard> archive(
        zip_open_from_source(target.get(), ZIP_TRUNCATE, &error));
    if (!archive) return Failure{ArchiveError(&error)};
    zip_source_keep(target.get());  // the archive's close would otherwise free it
    for (const ArchiveEntry& entry : entries) {
        zip_source_t* source =
            zip_source_buffer(archive.get(), entry.bytes.data(), entry.bytes.size(), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive.get(), entry.name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source) zip_source_free(source);
            return Failure{"cannot write the archive: " + std::string(zip_strerror(archive.get()))};
        }
        const auto at = static_cast<zip_uint64_t>(index);
        zip_set_file_compression(archive.get(), at, deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
        // A fixed time, so that the same entries give the same bytes.
        zip_file_set_mtime(archive.get(), at, EntryTime(), 0);
    }
    if (zip_close(archive.get()) != 0)
        return Failure{"cannot write the archive: " + std::string(zip_strerror(archive.get()))};
    archive.release();  // closed
    zip_stat_t stat;
    if (zip_source_stat(target.get(), &stat) != 0 || zip_source_open(target.get()) != 0)
        return Failure{"cannot write the archive: its bytes cannot be read back"};
    ByteVector bytes(static_cast<std::size_t>(stat.size));
    const zip_int64_t got = zip_source_read(target.get(), bytes.data(), bytes.size());
    zip_source_close(target.get());
    if (got < 0 || static_cast<std::uint64_t>(got) != bytes.size())
        return Failure{"cannot write the archive: its bytes cannot be read back"};
    return bytes;
}

std::string ManifestXml(const std::vector<ListedDatabase>& databases, std::string_view device) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<BlackBerry_Backup>\n<";
    xml.append(device);
    xml += ">\n<Databases>\n";
    for (const ListedDatabase& database : databases) {
        xml += "<Database uid=\"";
        AppendEscaped(xml, database.uid);
        xml += '"';
        if (database.recordCount)
            xml += " recordcount=\"" + std::to_string(*database.recordCount) + '"';
        xml += '>';
        AppendEscaped(xml, database.name);
        xml += "</Database>\n";
    }
    xml += "</Databases>\n</";
    xml.append(device);
    xml += ">\n</BlackBerry_Backup>\n";
    return xml;
}

std::vector<SingleDatabase> SplitByDatabase(Bytes ipd) {
    std::vector<SingleDatabase> out;
    const auto count = ReadDatabaseCount(ipd);
    if (!count) return out;
    std::uint64_t next = kIpdHeaderSize;
    for (std::uint16_t i = 0; i < *count; ++i) {
        const auto entry = ReadNameEntry(ipd, next);
        if (!entry) return out;
        const Bytes name = entry->name;
        next = entry->next;
        SingleDatabase database;
        database.name.assign(name.begin(), name.end());
        if (!database.name.empty() && database.name.back() == '\0') database.name.pop_back();
        AppendIpdHeader(database.ipd, 1);
        AppendLe16(database.ipd, static_cast<std::uint16_t>(name.size()));
        database.ipd.insert(database.ipd.end(), name.begin(), name.end());
        out.push_back(std::move(database));
    }
    auto at = static_cast<std::size_t>(next);
    while (at < ipd.size()) {
        const auto header = ReadRecordHeader(ipd, at);
        if (!header) break;
        if (IsFiller(ipd.subspan(at))) {
            at += kFillerSize;
            continue;
        }
        if (header->size() > ipd.size() - at) break;
        const std::size_t begin = at;
        at += static_cast<std::size_t>(header->size());
        if (header->database >= out.size()) continue;
        SingleDatabase& database = out[header->database];
        AppendRecordIndex(database.ipd, std::uint16_t{0});
        database.ipd.insert(database.ipd.end(),
                            ipd.begin() + static_cast<std::ptrdiff_t>(begin + 2),
                            ipd.begin() + static_cast<std::ptrdiff_t>(at));
        ++database.records;
    }
    return out;
}

std::vector<ArchiveEntry> DesktopSoftwareEntries(std::vector<SingleDatabase> databases,
                                                 std::uint32_t firstUid) {
    std::vector<ListedDatabase> listed;
    std::vector<ArchiveEntry> entries(1);
    std::uint32_t uid = firstUid;
    for (SingleDatabase& database : databases) {
        listed.push_back({std::to_string(uid), database.name, database.records});
        entries.push_back({"Databases/" + std::to_string(uid) + ".dat", std::move(database.ipd)});
        ++uid;
    }
    const std::string xml = ManifestXml(listed);
    entries[0] = {"Manifest.xml", ByteVector(xml.begin(), xml.end())};
    return entries;
}

}  // namespace orrelin
