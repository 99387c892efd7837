#include "ipd/loader.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ipd/ipd_bytes.h"
#include "ipd/record_frame.h"
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

    const std::optional<std::uint16_t> count = ReadDatabaseCount(image.bytes());
    if (!count) {
        index.stop = WalkStop{kCountOffset, "the file is too short for the database count"};
        return index;
    }

    // The name table is read whatever its size: positions are plain 64-bit offsets.
    std::uint64_t pos = kIpdHeaderSize;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::optional<NameEntry> entry = ReadNameEntry(image.bytes(), pos);
        if (!entry) {
            index.stop = WalkStop{pos, "the database name table runs past the end of the file"};
            return index;
        }
        SingleByteText text = BytesToStrippedText(entry->name, true);
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
        pos = entry->next;
    }
    ScanRecords(image, pos, index, progress);
    return index;
}

namespace {

// The node a record's database index files it under: a recognised database's by its slot, else
// the node of a database that is not decoded by its name-table position.
class NodeLookup {
  public:
    struct Found {
        std::int32_t node = -1;            // position in RecordIndex::databases, -1 for none
        std::size_t slot = kKnownDbCount;  // the recognised database's slot, or kKnownDbCount
    };

    explicit NodeLookup(const RecordIndex& index) : slots_(index.slots) {
        nodeOfSlot_.fill(-1);
        for (std::size_t i = 0; i < index.databases.size(); ++i) {
            const auto& node = index.databases[i];
            if (!node.decoded()) {
                if (otherNodes_.size() <= node.index) otherNodes_.resize(node.index + 1u, -1);
                otherNodes_[node.index] = static_cast<std::int32_t>(i);
                continue;
            }
            auto slot = static_cast<std::size_t>(*node.db);
            if (slots_[slot] == node.index) nodeOfSlot_[slot] = static_cast<std::int32_t>(i);
        }
    }

    Found find(std::uint16_t database) const {
        for (std::size_t slot = 0; slot < kKnownDbCount; ++slot) {
            if (slots_[slot] == database && nodeOfSlot_[slot] >= 0)
                return {nodeOfSlot_[slot], slot};
            if (slots_[slot] == database) break;
        }
        if (database < otherNodes_.size() && otherNodes_[database] >= 0)
            return {otherNodes_[database], kKnownDbCount};
        return {};
    }

  private:
    const std::array<std::int32_t, kKnownDbCount>& slots_;
    // Slot -> position of its node, for the slots that matter.
    std::array<std::int32_t, kKnownDbCount> nodeOfSlot_{};
    // Name-table position -> position of its node, for the databases that are not decoded.
    std::vector<std::int32_t> otherNodes_;
};

// Room for the records of a file of typical records (well over 48 bytes each) at once: a large
// backup then fills the index without copying it over as it grows. Only the part used is ever
// touched.
void ReserveRecords(RecordIndex& index, std::uint64_t bytes) {
    if (bytes == 0) return;
    index.records.reserve(index.records.size() + bytes / 48);
    // Tens of megabytes filled at once on a large backup.
    AskForLargePages(index.records.data(), index.records.capacity() * sizeof(RecordEntry));
}

}  // namespace

void ScanRecords(const IpdImage& image, std::uint64_t a, RecordIndex& index,
                 const ProgressCallback& progress) {
    const std::uint64_t length = image.fileLength();
    // Asked every few thousand records, so that the callback costs nothing measurable.
    constexpr std::uint32_t kProgressEvery = 4096;
    std::uint32_t untilProgress = kProgressEvery;
    const NodeLookup lookup(index);
    if (a < length) ReserveRecords(index, length - a);
    const Bytes bytes = image.bytes();
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
        const std::optional<RecordHeader> header = ReadRecordHeader(bytes, a);
        if (!header) {
            index.stop = WalkStop{a, "a record header runs past the end of the file"};
            return;
        }
        if (const NodeLookup::Found found = lookup.find(header->database); found.node >= 0) {
            const std::uint64_t start = a + kRecordHandleAt;
            const std::uint64_t end = a + header->size() - 1;
            auto& node = index.databases[static_cast<std::size_t>(found.node)];
            if (!image.range(start, end)) {
                index.stop = WalkStop{a, "a record of \"" + std::string(node.name()) +
                                             "\" runs past the end of the file"};
                return;
            }
            node.records.push_back(static_cast<std::uint32_t>(index.records.size()));
            index.records.push_back(
                RecordEntry{{start, end}, static_cast<std::uint32_t>(found.node)});
            if (found.slot < kKnownDbCount) ++index.counts[found.slot];
        }
        a += header->size();
        if (a + 1 < length) {
            auto filler = image.range(a, a + 4);
            if (!filler) {
                index.stop = WalkStop{a, "stray bytes after the last record"};
                return;
            }
            if (IsFiller(*filler)) a += kFillerSize;
        }
    }
}

std::string WalkStopWarning(std::string_view path, const WalkStop& stop) {
    return std::string(path) + ": the walk stopped at byte offset " + std::to_string(stop.offset) +
           ": " + stop.reason;
}

}  // namespace orrelin
