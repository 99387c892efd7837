#include "archive/bbb_builder.h"

#include <zip.h>

#include <ctime>
#include <memory>

#include "base/little_endian.h"
#include "ipd/byte_reader.h"
#include "ipd/ipd_bytes.h"
#include "ipd/ipd_format.h"

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
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out.push_back(c);
        }
    }
}

}  // namespace

Result<ByteVector> WriteZip(const std::vector<ArchiveEntry>& entries, bool deflate) {
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFree> target(zip_source_buffer_create(nullptr, 0, 0, &error));
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
            return Failure{"cannot write the archive: " +
                           std::string(zip_strerror(archive.get()))};
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
        if (database.recordCount) xml += " recordcount=\"" + std::to_string(*database.recordCount) + '"';
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
    ByteReader reader(ipd, kCountOffset);
    const auto count = reader.be16();
    if (!count) return out;
    reader.seek(kIpdHeaderSize);
    for (std::uint16_t i = 0; i < *count; ++i) {
        const auto length = reader.le16();
        const auto name = length ? reader.takeExact(*length) : std::nullopt;
        if (!name) return out;
        SingleDatabase database;
        database.name.assign(name->begin(), name->end());
        if (!database.name.empty() && database.name.back() == '\0') database.name.pop_back();
        AppendIpdHeader(database.ipd, 1);
        AppendLe16(database.ipd, *length);
        database.ipd.insert(database.ipd.end(), name->begin(), name->end());
        out.push_back(std::move(database));
    }
    while (!reader.atEnd()) {
        const std::size_t at = reader.position();
        const auto index = reader.le16();
        const auto length = reader.le32();
        if (!index || !length) break;
        if (*index == 0xFFFF && (*length & 0xFFFF) == 2 && ((*length >> 16) & 0xFF) <= 1) {
            reader.seek(at + 6);  // filler
            continue;
        }
        const auto rest = reader.takeExact(*length);
        if (!rest) break;
        if (*index >= out.size()) continue;
        SingleDatabase& database = out[*index];
        AppendLe16(database.ipd, std::uint16_t{0});
        database.ipd.insert(database.ipd.end(), ipd.begin() + static_cast<std::ptrdiff_t>(at + 2),
                            rest->end());
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
