#include "search/text_index.h"

#include <algorithm>
#include <functional>
#include <span>
#include <thread>

#include "kinds/record_kinds.h"
#include "search/fold.h"

namespace orrelin {
namespace {

// A part's offsets are 32-bit: a part is closed once its text passes this size.
constexpr std::size_t kPartLimit = std::size_t{1} << 31;
// Records between looks at the cancel flag and reports of progress.
constexpr std::size_t kStride = 4096;
constexpr std::size_t kMaxThreads = 4;

// The records in tree order: database by database, each database's records in file order.
std::vector<std::uint32_t> TreeOrder(const RecordIndex& index) {
    std::vector<std::uint32_t> order;
    std::size_t total = 0;
    for (const DatabaseNode& database : index.databases)
        total += database.records.size();
    order.reserve(total);
    for (const DatabaseNode& database : index.databases)
        order.insert(order.end(), database.records.begin(), database.records.end());
    return order;
}

class PartBuilder {
  public:
    PartBuilder(const IpdImage& image, const RecordIndex& index, const TextIndexOptions& options)
        : image_(image), index_(index), options_(options), context_(options.context) {
        context_.text.unicode = true;
        context_.displayTimes = false;
    }

    // Indexes `records` (positions in the record index) into one or more parts.
    bool build(std::span<const std::uint32_t> records, std::vector<TextIndex::Part>& parts) {
        parts.emplace_back();
        reserve(parts.back(), records);
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (i % kStride == 0) {
                if (options_.cancel && options_.cancel->load(std::memory_order_relaxed)) {
                    return false;
                }
                if (options_.progress && i > 0) options_.progress->fetch_add(kStride);
            }
            if (parts.back().text.size() >= kPartLimit) parts.emplace_back();
            add(parts.back(), records[i]);
        }
        if (options_.progress) {
            options_.progress->fetch_add(records.empty() ? 0 : (records.size() - 1) % kStride + 1);
        }
        return true;
    }

  private:
    // Room for about what the records' bodies hold; pages never written to are never touched.
    void reserve(TextIndex::Part& part, std::span<const std::uint32_t> records) const {
        std::size_t bytes = 0;
        for (std::uint32_t record : records) {
            const RecordSpan& span = index_.records[record].span;
            bytes += static_cast<std::size_t>(span.end - span.start) + 32;
        }
        part.text.reserve(std::min(bytes, kPartLimit));
        part.firstPiece.reserve(records.size());
        part.records.reserve(records.size());
    }

    void addPiece(TextIndex::Part& part, std::uint8_t field, std::string_view utf8) {
        if (utf8.empty()) return;
        const std::size_t start = part.text.size();
        part.pieceStart.push_back(static_cast<std::uint32_t>(start));
        part.pieceField.push_back(field);
        AppendFolded(part.text, utf8);
        runs_.clear();
        AppendPhoneDigitRuns(runs_, std::string_view(part.text).substr(start), '\0');
        part.text.push_back('\0');
        part.text += runs_;
    }

    void add(TextIndex::Part& part, std::uint32_t record) {
        part.firstPiece.push_back(static_cast<std::uint32_t>(part.pieceStart.size()));
        part.records.push_back(record);
        const RecordEntry& entry = index_.records[record];
        const KnownDb db = index_.databases[entry.database].db;
        const auto body = image_.range(entry.span.start, entry.span.end);
        if (!body) return;
        const DatabaseKind& kind = KindOf(db);
        addPiece(part, kLabelField, kind.unicodeLabel(*body, context_.text));
        kind.decode(image_, entry.span, context_, values_);
        for (const FieldRow& field : KindInfoOf(db).fields)
            addPiece(part, field.slot, values_.texts[field.slot]);
    }

    const IpdImage& image_;
    const RecordIndex& index_;
    const TextIndexOptions& options_;
    DecodeContext context_;
    RecordValues values_;
    std::string runs_;
};

}  // namespace

TextIndex TextIndex::Build(const IpdImage& image, const RecordIndex& index,
                           const TextIndexOptions& options) {
    const std::vector<std::uint32_t> order = TreeOrder(index);
    std::size_t workers = options.threads;
    if (workers == 0) {
        workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMaxThreads);
        // Small backups are not worth a second thread.
        workers = std::clamp<std::size_t>(order.size() / (8 * kStride), 1, workers);
    }
    workers = std::clamp<std::size_t>(order.size(), 1, workers);

    std::vector<std::vector<Part>> pieces(workers);
    std::vector<char> finished(workers, 0);
    const std::size_t share = (order.size() + workers - 1) / workers;
    auto work = [&](std::size_t w) {
        const std::size_t first = std::min(order.size(), w * share);
        const std::size_t last = std::min(order.size(), first + share);
        PartBuilder builder(image, index, options);
        finished[w] = static_cast<char>(
            builder.build(std::span(order).subspan(first, last - first), pieces[w]));
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w)
        threads.emplace_back(work, w);
    work(0);
    for (std::thread& thread : threads)
        thread.join();

    TextIndex result;
    if (std::find(finished.begin(), finished.end(), 0) != finished.end()) return result;
    for (std::vector<Part>& parts : pieces) {
        for (Part& part : parts)
            result.parts_.push_back(std::move(part));
    }
    return result;
}

void TextIndex::searchPart(const Part& part, std::string_view needle,
                           std::vector<SearchMatch>& out) const {
    const std::string_view text = part.text;
    const std::size_t pieces = part.pieceStart.size();
    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end());
    std::size_t from = 0;
    while (from < text.size()) {
        const auto hit = searcher(text.begin() + static_cast<std::ptrdiff_t>(from), text.end());
        if (hit.first == text.end()) break;
        const auto at = static_cast<std::uint32_t>(hit.first - text.begin());
        const std::size_t piece = static_cast<std::size_t>(
            std::upper_bound(part.pieceStart.begin(), part.pieceStart.end(), at) -
            part.pieceStart.begin() - 1);
        const std::size_t record = static_cast<std::size_t>(
            std::upper_bound(part.firstPiece.begin(), part.firstPiece.end(), piece) -
            part.firstPiece.begin() - 1);
        out.push_back({part.records[record], part.pieceField[piece]});
        // The next record's texts, if any.
        std::size_t next = record + 1 < part.firstPiece.size() ? part.firstPiece[record + 1]
                                                               : pieces;
        from = next < pieces ? part.pieceStart[next] : text.size();
    }
}

std::vector<SearchMatch> TextIndex::search(std::string_view query) const {
    std::vector<SearchMatch> out;
    const std::string folded = Folded(query);
    if (folded.empty()) return out;
    const std::string digits = PhoneDigits(folded);
    const std::string_view needle = digits.empty() ? folded : digits;
    for (const Part& part : parts_)
        searchPart(part, needle, out);
    return out;
}

std::size_t TextIndex::recordCount() const {
    std::size_t count = 0;
    for (const Part& part : parts_)
        count += part.records.size();
    return count;
}

std::size_t TextIndex::memoryBytes() const {
    std::size_t bytes = 0;
    for (const Part& part : parts_) {
        bytes += part.text.size() + part.pieceStart.size() * 4 + part.pieceField.size() +
                 part.firstPiece.size() * 4 + part.records.size() * 4;
    }
    return bytes;
}

std::string_view FieldCaption(KnownDb db, std::uint8_t field) {
    if (field == kLabelField) return "Label";
    for (const FieldRow& row : KindInfoOf(db).fields) {
        if (row.slot != field) continue;
        if (!row.pane.empty()) return row.pane;
        if (!row.column.empty()) return row.column;
        return row.jsonKey;
    }
    return {};
}

}  // namespace orrelin
