#include "search/text_index.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <span>
#include <thread>

#include "base/cores.h"
#include "decoders/contact_decoder.h"
#include "kinds/labels.h"
#include "kinds/raw_fields.h"
#include "kinds/record_kinds.h"
#include "search/fold.h"

namespace orrelin {
namespace {

// A part's offsets are 32-bit: a part is closed once its text passes this size.
constexpr std::size_t kPartLimit = std::size_t{1} << 31;
// Records between looks at the cancel flag and reports of progress.
constexpr std::size_t kStride = 4096;
constexpr std::size_t kMaxThreads = 4;
// The build's runs of records: at least this many records each, at most this many a worker.
constexpr std::size_t kRecordsARun = 32768;
constexpr std::size_t kRunsAWorker = 4;

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

// Whether a record's label may hold text that none of its values does: a contact's names
// joined, a call without name and number. The labels of the other kinds are one of their
// values, read from the same field the same way (the label rules and the decoders share the
// field table rows), so working them out again would find nothing new.
bool LabelMaySayMore(RecordKind kind) {
    return kind == RecordKind::Address || kind == RecordKind::PhoneCall;
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
            prefetch(records, i);
            add(parts.back(), records[i]);
        }
        if (options_.progress) {
            options_.progress->fetch_add(records.empty() ? 0 : (records.size() - 1) % kStride + 1);
        }
        return true;
    }

  private:
    // Tree order is not file order: the records' entries and bodies lie all over the index and
    // the image, so those a few records ahead are fetched early.
    void prefetch(std::span<const std::uint32_t> records, std::size_t i) const {
        constexpr std::size_t kAhead = 4;
        if (i + kAhead >= records.size()) return;
        const std::uint64_t start = index_.records[records[i + kAhead]].span.start;
        if (start < image_.size()) __builtin_prefetch(image_.bytes().data() + start);
        if (i + 4 * kAhead < records.size())
            __builtin_prefetch(&index_.records[records[i + 4 * kAhead]]);
    }

    // Room for about what the records' bodies hold; room never written to takes no memory.
    void reserve(TextIndex::Part& part, std::span<const std::uint32_t> records) const {
        std::size_t bytes = 0;
        for (std::uint32_t record : records) {
            const RecordSpan& span = index_.records[record].span;
            bytes += static_cast<std::size_t>(span.end - span.start) + 32;
        }
        part.text.reserve(std::min(bytes, kPartLimit));
        part.pieceStart.reserve(records.size() * 8);
        part.pieceField.reserve(records.size() * 8);
        part.firstPiece.reserve(records.size());
        part.records.reserve(records.size());
    }

    // Appends a piece of text already folded.
    void addFolded(TextIndex::Part& part, std::uint8_t field, std::string_view folded) {
        if (folded.empty()) return;
        part.pieceStart.push_back(static_cast<std::uint32_t>(part.text.size()));
        part.pieceField.push_back(field);
        char* at = part.text.room(2 * folded.size() + 1);
        std::memcpy(at, folded.data(), folded.size());
        at[folded.size()] = '\0';
        char* end = PutPhoneDigitRuns(at + folded.size() + 1, folded, '\0');
        part.text.commit(static_cast<std::size_t>(end - at));
    }

    void addValue(TextIndex::Part& part, std::uint8_t field, std::string_view utf8) {
        if (utf8.empty()) return;
        // Room for the folded text, its NUL and its numbers' digits.
        char* at = part.text.room(2 * utf8.size() + 1);
        bool digits = false;
        char* folded = FoldInto(at, utf8, digits);
        if (folded == at) return;
        part.pieceStart.push_back(static_cast<std::uint32_t>(part.text.size()));
        part.pieceField.push_back(field);
        *folded = '\0';
        char* end = digits ? PutPhoneDigitRuns(
                                 folded + 1,
                                 std::string_view(at, static_cast<std::size_t>(folded - at)), '\0')
                           : folded + 1;
        part.text.commit(static_cast<std::size_t>(end - at));
    }

    // A record of a database the program does not decode: the text reading of each raw field,
    // as its pane shows it, the field's position its slot; and its label when it says more
    // ("Record 12").
    void addRaw(TextIndex::Part& part, Bytes body) {
        const std::size_t start = part.text.size();
        std::uint8_t position = 0;
        for (const RawField& field : ReadRawFields(body)) {
            addValue(part, position, RawText(field.data));
            if (position < kLabelField - 1) ++position;
        }
        label_.clear();
        AppendFolded(label_, RawLabel(body));
        const std::string_view texts(part.text.data() + start, part.text.size() - start);
        if (texts.find(label_) == std::string_view::npos) addFolded(part, kLabelField, label_);
    }

    void add(TextIndex::Part& part, std::uint32_t record) {
        part.firstPiece.push_back(static_cast<std::uint32_t>(part.pieceStart.size()));
        part.records.push_back(record);
        const RecordEntry& entry = index_.records[record];
        const DatabaseNode& database = index_.databases[entry.database];
        const auto body = image_.range(entry.span.start, entry.span.end);
        if (!body) return;
        if (!database.decoded()) {
            addRaw(part, *body);
            return;
        }
        const KnownDb db = *database.db;
        const DatabaseKind& kind = KindOf(db);
        const std::size_t start = part.text.size();
        DecodeRecord(image_, db, entry.span, context_, values_);
        for (const FieldRow& field : KindInfoOf(db).fields)
            addValue(part, field.slot, values_.texts[field.slot]);
        // Most labels are a value of the record (a title, a number); only one that says more
        // is kept.
        if (!LabelMaySayMore(kind.kind)) return;
        label_.clear();
        if (kind.kind == RecordKind::Address) {
            // A contact's label made of its two names as they were decoded.
            AppendFolded(label_, ContactLabel(values_.texts[ContactRecord::FirstName],
                                              values_.texts[ContactRecord::LastName]));
        } else {
            AppendFolded(label_, UnicodeLabel(db, *body, context_.text));
        }
        const std::string_view texts(part.text.data() + start, part.text.size() - start);
        if (texts.find(label_) == std::string_view::npos) addFolded(part, kLabelField, label_);
    }

    const IpdImage& image_;
    const RecordIndex& index_;
    const TextIndexOptions& options_;
    DecodeContext context_;
    RecordValues values_;
    std::string label_;
};

}  // namespace

TextIndex TextIndex::Build(const IpdImage& image, const RecordIndex& index,
                           const TextIndexOptions& options) {
    const std::vector<std::uint32_t> order = TreeOrder(index);
    std::size_t workers = options.threads;
    if (workers == 0) {
        workers = std::clamp<std::size_t>(UsableCores(), 1, kMaxThreads);
        // Small backups are not worth a second thread.
        workers = std::clamp<std::size_t>(order.size() / (8 * kStride), 1, workers);
    }
    workers = std::clamp<std::size_t>(order.size(), 1, workers);

    // The records are cut into runs holding about as many bytes each, several a worker: the
    // work goes with the text, but records differ much in their cost a byte (a contact's
    // many short fields, a message's one long text), so each worker takes the next run
    // nobody has taken and none is left working alone for long. Each run is a part of its
    // own, the parts in tree order.
    const std::size_t runs =
        workers == 1 ? 1 : std::clamp(order.size() / kRecordsARun, workers, kRunsAWorker * workers);
    std::vector<std::size_t> bounds{0};
    if (runs > 1) {
        std::uint64_t total = 0;
        for (std::uint32_t record : order)
            total += index.records[record].span.end - index.records[record].span.start + 1;
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < order.size() && bounds.size() < runs; ++i) {
            const RecordSpan& span = index.records[order[i]].span;
            sum += span.end - span.start + 1;
            if (sum * runs >= total * bounds.size()) bounds.push_back(i + 1);
        }
    }
    while (bounds.size() <= runs)
        bounds.push_back(order.size());
    std::vector<std::vector<Part>> pieces(runs);
    std::vector<char> finished(runs, 0);
    std::atomic<std::size_t> nextRun{0};
    auto work = [&] {
        PartBuilder builder(image, index, options);
        for (std::size_t run; (run = nextRun.fetch_add(1)) < runs;) {
            const std::size_t first = bounds[run];
            const std::size_t last = std::max(first, bounds[run + 1]);
            finished[run] = static_cast<char>(
                builder.build(std::span(order).subspan(first, last - first), pieces[run]));
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w)
        threads.emplace_back(work);
    work();
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

namespace {

// The first position from `from` whose value is greater than `value`, in a sorted array,
// looking near `from` first: the hits of a search come in order, mostly close together.
std::size_t GallopPast(const std::uint32_t* values, std::size_t from, std::size_t size,
                       std::size_t value) {
    std::size_t step = 1;
    std::size_t low = from;
    std::size_t high = from;
    while (high < size && values[high] <= value) {
        low = high + 1;
        high += step;
        step *= 2;
    }
    high = std::min(high, size);
    return static_cast<std::size_t>(std::upper_bound(values + low, values + high, value) - values);
}

// The first place of `needle` in [from, end), or nullptr.
const char* FindNeedle(const char* from, const char* end, std::string_view needle) {
    const auto length = static_cast<std::size_t>(end - from);
    if (needle.size() == 1) {
        return static_cast<const char*>(std::memchr(from, needle[0], length));
    }
#if defined(__GLIBC__)
    return static_cast<const char*>(::memmem(from, length, needle.data(), needle.size()));
#elif defined(__cpp_lib_boyer_moore_searcher)
    const char* at =
        std::search(from, end, std::boyer_moore_horspool_searcher(needle.begin(), needle.end()));
    return at == end ? nullptr : at;
#else
    // An older standard library (emscripten's) without the searcher.
    const char* at = std::search(from, end, needle.begin(), needle.end());
    return at == end ? nullptr : at;
#endif
}

}  // namespace

void TextIndex::searchPart(const Part& part, std::string_view needle,
                           std::vector<SearchMatch>& out) {
    const char* const text = part.text.data();
    const char* const end = text + part.text.size();
    const std::size_t pieces = part.pieceStart.size();
    const std::size_t records = part.firstPiece.size();
    std::size_t piece = 0;   // the first piece that may hold the next hit
    std::size_t record = 0;  // the first record that may hold it
    const char* from = text;
    while (from < end) {
        const char* hit = FindNeedle(from, end, needle);
        if (!hit) break;
        const auto at = static_cast<std::size_t>(hit - text);
        piece = GallopPast(part.pieceStart.data(), piece, pieces, at) - 1;
        record = GallopPast(part.firstPiece.data(), record, records, piece) - 1;
        out.push_back({part.records[record], part.pieceField[piece]});
        // On with the next record's pieces, if any.
        ++record;
        const std::size_t next = record < records ? part.firstPiece[record] : pieces;
        from = next < pieces ? text + part.pieceStart[next] : end;
        piece = next;
    }
}

std::vector<SearchMatch> TextIndex::search(std::string_view query) const {
    std::vector<SearchMatch> out;
    const std::string folded = Folded(query);
    if (folded.empty() || parts_.empty()) return out;
    const std::string digits = PhoneDigits(folded);
    const std::string_view needle = digits.empty() ? folded : digits;
    if (parts_.size() == 1) {
        searchPart(parts_[0], needle, out);
        return out;
    }
    // The parts are searched on a few threads at once, each part into a list of its own,
    // the lists joined in order.
    std::vector<std::vector<SearchMatch>> found(parts_.size());
    std::atomic<std::size_t> nextPart{0};
    auto work = [&] {
        for (std::size_t i; (i = nextPart.fetch_add(1)) < parts_.size();)
            searchPart(parts_[i], needle, found[i]);
    };
    const std::size_t helpers =
        std::min(parts_.size(), std::clamp<std::size_t>(UsableCores(), 1, kMaxThreads)) - 1;
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < helpers; ++t)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
    std::size_t total = 0;
    for (const auto& matches : found)
        total += matches.size();
    out.reserve(total);
    for (const auto& matches : found)
        out.insert(out.end(), matches.begin(), matches.end());
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

std::string FieldCaption(const DatabaseNode& database, std::uint8_t field) {
    if (field == kLabelField) return "Label";
    if (!database.decoded()) return "Raw Field " + std::to_string(field + 1);
    for (const FieldRow& row : KindInfoOf(*database.db).fields) {
        if (row.slot != field) continue;
        if (!row.pane.empty()) return std::string(row.pane);
        if (!row.column.empty()) return std::string(row.column);
        return std::string(row.jsonKey);
    }
    return {};
}

}  // namespace orrelin
