#include "bbb.h"

#include <cstdint>
#include <vector>

#include "archive/bbb_builder.h"
#include "io/file_output.h"
#include "ipd/ipd_image.h"

namespace orrelin::ipdgen {
namespace {

// Bytes that look like ciphertext: the same length, a fixed pseudo-random stream.
void Scramble(ByteVector& bytes, std::uint32_t seed) {
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        b = static_cast<std::uint8_t>(state);
    }
}

}  // namespace

Status WriteBbb(const std::string& in, const std::string& out, const BbbOptions& options) {
    const bool plain = options.kind == "plain";
    const bool encrypted = options.kind == "encrypted";
    const bool partly = options.kind == "partly-encrypted";
    const bool bb10 = options.kind == "bb10";
    if (!plain && !encrypted && !partly && !bb10) return Failure{"unknown kind " + options.kind};
    if (options.layout != "desktop" && options.layout != "mac")
        return Failure{"unknown layout " + options.layout};
    auto image = IpdImage::Read(in);
    if (!image) return Failure{image.error()};

    std::vector<ArchiveEntry> entries;
    if (options.layout == "mac") {
        const std::string xml = "<?xml version=\"1.0\"?>\n<BlackBerry_Backup/>\n";
        entries.push_back({"BlackBerry_Backup.xml", ByteVector(xml.begin(), xml.end())});
        const Bytes whole = image->fileBytes();
        entries.push_back({"Databases/Databases.ipd", ByteVector(whole.begin(), whole.end())});
        if (!plain) Scramble(entries.back().bytes, 1);
    } else {
        entries = DesktopSoftwareEntries(SplitByDatabase(image->fileBytes()));
        for (std::size_t i = 1; i < entries.size(); ++i) {
            if (encrypted || bb10 || (partly && i == 1))
                Scramble(entries[i].bytes, static_cast<std::uint32_t>(i));
        }
    }
    if (bb10) {
        const std::string xml = ManifestXml({}, "QnxOSDevice");
        entries[0] = {"Manifest.xml", ByteVector(xml.begin(), xml.end())};
    }
    auto zip = WriteZip(entries, options.deflate);
    if (!zip) return Failure{zip.error()};
    return WriteFileAtomically(out, *zip);
}

}  // namespace orrelin::ipdgen
