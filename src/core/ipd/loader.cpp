#include "ipd/loader.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "text/single_byte.h"

namespace orrelin {
namespace {

constexpr std::uint64_t kReadAhead = 4096;

}  // namespace

RecordIndex BuildDatabaseNodes(const IpdImage& image, std::string rootText) {
    return BuildDatabaseNodes(image, std::move(rootText), ProgressCallback{});
}

RecordIndex BuildDatabaseNodes(const IpdImage& image, std::string rootText,
                               const ProgressCallback& progress, Databases which) {
    RecordIndex index;
    index.rootText = std::move(rootText);
    index.slots.fill(-1);
    index.counts.fill(0);

    ByteReader reader(image.bytes(), kCountOffset);
    const std::optional<std::uint16_t> count = reader.be16();
    if (!count) {
        index.stop = WalkStop{kCountOffset, "the file is too short for the database count"};
        return index;
    }

    // The name table is read whatever its size: positions are plain 64-bit offsets.
    std::uint64_t pos = kIpdHeaderSize;
    for (std::size_t i = 0; i < *count; ++i) {
        reader.seek(pos);
        auto n = reader.le16();
        std::optional<Bytes> name = n ? image.range(pos + 2, pos + 1 + *n) : std::nullopt;
        if (!name) {
            index.stop = WalkStop{pos, "the database name table runs past the end of the file"};
            return index;
        }
        SingleByteText text = BytesToStrippedText(*name, true);
        auto known = KnownDbByName(text);
        if (known || which == Databases::All) {
            DatabaseNode node;
            node.index = static_cast<std::uint16_t>(i);
            if (known) {
                index.slots[static_cast<std::size_t>(*known)] = static_cast<std::int32_t>(i);
                node.db = *known;
            } else {
                node.otherName = std::move(text);
            }
            index.databases.push_back(std::move(node));
        }
        pos += 2u + *n;
    }
    ScanRecords(image, pos, index, progress);
    return index;
}

void ScanRecords(const IpdImage& image, std::uint64_t a, RecordIndex& index,
                 const ProgressCallback& progress) {
    const std::uint64_t length = image.fileLength();
    // Asked every few thousand records, so that the callback costs nothing measurable.
    constexpr std::uint32_t kProgressEvery = 4096;
    std::uint32_t untilProgress = kProgressEvery;

    // Database index -> position of its node, for the slots that matter.
    std::array<std::int32_t, kKnownDbCount> nodeOfSlot{};
    nodeOfSlot.fill(-1);
    // Name-table position -> position of its node, for the databases that are not decoded.
    std::vector<std::int32_t> otherNodes;
    for (std::size_t i = 0; i < index.databases.size(); ++i) {
        const auto& node = index.databases[i];
        if (!node.decoded()) {
            if (otherNodes.size() <= node.index) otherNodes.resize(node.index + 1u, -1);
            otherNodes[node.index] = static_cast<std::int32_t>(i);
            continue;
        }
        auto slot = static_cast<std::size_t>(*node.db);
        if (index.slots[slot] == node.index) nodeOfSlot[slot] = static_cast<std::int32_t>(i);
    }
    // Room for the records of a file of typical records (well over 48 bytes each) at once: a
    // large backup then fills the index without copying it over as it grows. Only the part
    // used is ever touched.
    if (a < length) {
        index.records.reserve(index.records.size() + (length - a) / 48);
        // Tens of megabytes filled at once on a large backup.
        AskForLargePages(index.records.data(), index.records.capacity() * sizeof(RecordEntry));
    }
    const Bytes bytes = image.bytes();
    ByteReader reader(bytes);
    std::uint64_t readAhead = a;  // the file is asked for this far ahead of the walk
    while (a < length) {
        if (progress && --untilProgress == 0) {
            untilProgress = kProgressEvery;
            if (!progress(a, length)) {
                index.stop = WalkStop{a, "cancelled"};
                return;
            }
        }
        // The walk hops from header to header; asking for the bytes ahead of it line by line
        // keeps it from waiting on memory at every record.
        for (const std::uint64_t until = std::min<std::uint64_t>(a + kReadAhead, length);
             readAhead < until; readAhead += 64) {
            __builtin_prefetch(bytes.data() + readAhead);
        }
        reader.seek(a);
        auto d = reader.le16();
        auto recordLength = reader.le32();
        if (!d || !recordLength) {
            index.stop = WalkStop{a, "a record header runs past the end of the file"};
            return;
        }
        std::int32_t nodePos = -1;
        std::size_t slot = 0;
        for (; slot < kKnownDbCount; ++slot) {
            if (index.slots[slot] == *d) {
                nodePos = nodeOfSlot[slot];
                break;
            }
        }
        const bool other = nodePos < 0 && *d < otherNodes.size() && otherNodes[*d] >= 0;
        if (other) nodePos = otherNodes[*d];
        if (nodePos >= 0) {
            // The length counts the bytes from the version on.
            const std::uint64_t start = a + kRecordHandleAt;
            const std::uint64_t end = a + kRecordVersionAt + *recordLength - 1;
            auto& node = index.databases[static_cast<std::size_t>(nodePos)];
            auto body = image.range(start, end);
            if (!body) {
                index.stop = WalkStop{a, "a record of \"" + std::string(node.name()) +
                                             "\" runs past the end of the file"};
                return;
            }
            node.records.push_back(static_cast<std::uint32_t>(index.records.size()));
            index.records.push_back(RecordEntry{{start, end}, static_cast<std::uint32_t>(nodePos)});
            if (!other) ++index.counts[slot];
        }
        a += kRecordVersionAt + static_cast<std::uint64_t>(*recordLength);
        if (a + 1 < length) {
            auto filler = image.range(a, a + 4);
            if (!filler) {
                index.stop = WalkStop{a, "stray bytes after the last record"};
                return;
            }
            const auto& f = *filler;
            if (f[0] == 0xFF && f[1] == 0xFF && f[2] == 0x02 && f[3] == 0x00 && f[4] <= 0x01)
                a += 6;
        }
    }
}

std::string WalkStopWarning(std::string_view path, const WalkStop& stop) {
    return std::string(path) + ": the walk stopped at byte offset " + std::to_string(stop.offset) +
           ": " + stop.reason;
}

}  // namespace orrelin
