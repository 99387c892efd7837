#include "export/standard_export.h"

#include <algorithm>
#include <charconv>
#include <ctime>

#include "browser/label_rules.h"
#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "export/icalendar_writer.h"
#include "export/json_keys.h"
#include "export/json_writer.h"
#include "export/vcard_writer.h"

namespace orrelin {
namespace {

// Bytes gathered before they are handed to the sink.
constexpr std::size_t kFlushSize = std::size_t{1} << 20;
// Records between two progress reports.
constexpr std::uint64_t kProgressStep = 512;

// A value the record lacks (an empty text, no time) is left out: a contact's thirty-odd keys
// are mostly empty, and writing them would make the file a quarter larger.
template <typename Record, std::size_t N>
void TextValues(JsonWriter& json, const Record& record, const std::array<JsonTextKey, N>& keys) {
    for (const auto& k : keys) {
        const std::string& value = record.values[k.slot];
        if (!value.empty()) json.member(k.key, value);
    }
}

// A time the record holds: null when it lies outside what the text form can state.
void Instant(JsonWriter& json, std::string_view key, std::optional<std::int64_t> unixSeconds) {
    if (!unixSeconds) return;
    json.key(key);
    json.instant(unixSeconds);
}

// Label texts in the export's Unicode form.
struct UnicodeForm {
    const TextOptions& options;
    std::string eightBit(Bytes data) const { return EightBitText(data, true, options); }
    std::string sixteenBit(Bytes data) const { return SixteenBitText(data, options); }
};

// A record's span tag "start:end", made without allocating.
std::string_view Tag(RecordSpan span, std::array<char, 48>& buffer) {
    // Two 20-digit numbers and the colon fit the buffer.
    char* const end = buffer.data() + buffer.size();
    char* colon = std::to_chars(buffer.data(), end - 22, span.start).ptr;
    *colon = ':';
    char* last = std::to_chars(colon + 1, end, span.end).ptr;
    return {buffer.data(), static_cast<std::size_t>(last - buffer.data())};
}

// The "values" object's members of each kind of record, in the order of json_keys.h. Kept out
// of line: inlined into one switch, GCC 12 mistakes one record's storage for another's.
[[gnu::noinline]] void JsonValues(JsonWriter& json, const SmsRecord& r) {
    TextValues(json, r, kSmsJsonKeys);
    Instant(json, kSmsSentKey, r.sentUtc);
    Instant(json, kSmsReceivedKey, r.receivedUtc);
}

[[gnu::noinline]] void JsonValues(JsonWriter& json, const ContactRecord& r) {
    TextValues(json, r, kContactJsonKeys);
    json.key(kContactPhotoKey);
    json.boolean(!r.photo.empty());
}

[[gnu::noinline]] void JsonValues(JsonWriter& json, const CalendarRecord& r) {
    TextValues(json, r, kCalendarJsonKeys);
    Instant(json, kCalendarStartKey, r.startUtc);
    Instant(json, kCalendarEndKey, r.endUtc);
}

[[gnu::noinline]] void JsonValues(JsonWriter& json, const TaskRecord& r) {
    TextValues(json, r, kTaskJsonKeys);
}

[[gnu::noinline]] void JsonValues(JsonWriter& json, const MemoRecord& r) {
    TextValues(json, r, kMemoJsonKeys);
}

[[gnu::noinline]] void JsonValues(JsonWriter& json, const CallRecord& r) {
    TextValues(json, r, kCallJsonKeys);
    Instant(json, kCallTimeKey, r.timeUtc);
    json.member(kCallDurationKey, r.durationSeconds);
}

[[gnu::noinline]] void JsonValues(JsonWriter& json, const ServiceBookFields& r) {
    TextValues(json, r, kServiceBookJsonKeys);
    std::string ip;
    for (std::size_t i = 0; i < kServiceBookGatewayIpCount; ++i) {
        const std::string& part = r.values[kServiceBookGatewayIpFirst + i];
        if (part.empty()) continue;
        if (!ip.empty()) ip.push_back('.');
        ip += part;
    }
    if (!ip.empty()) json.member(kServiceBookGatewayIpKey, ip);
}

class StandardRunner {
  public:
    StandardRunner(const BackupTree& tree, const StandardExportRequest& request,
                   const ExportSink& sink, const ProgressCallback& progress)
        : tree_(tree), request_(request), sink_(sink), progress_(progress), json_(out_) {
        context_.text = TextOptions{true, request.eightBitPage};
        context_.displayTimes = false;  // times are written as instants
        stamp_ =
            request.stampUtc ? *request.stampUtc : static_cast<std::int64_t>(std::time(nullptr));
        out_.reserve(kFlushSize + (std::size_t{1} << 16));
    }

    StandardRun run() {
        // Which databases (by node) and which rows of them the scope covers.
        std::vector<Part> parts;
        const bool known = request_.node.has_value() && *request_.node < tree_.nodeCount();
        const NodeId node = known ? *request_.node : BackupTree::kRoot;
        switch (request_.scope) {
            case ExportScope::Record:
                if (known && tree_.kind(node) == NodeKind::Record) {
                    NodeId database = tree_.parent(node).value_or(BackupTree::kRoot);
                    if (takes(database)) parts.push_back({database, tree_.row(node), 1});
                }
                break;
            case ExportScope::Database:
                if (known && tree_.kind(node) == NodeKind::Database && takes(node)) {
                    parts.push_back({node, 0, tree_.childCount(node)});
                }
                break;
            case ExportScope::File:
                for (std::size_t row = 0; row < tree_.childCount(BackupTree::kRoot); ++row) {
                    NodeId database = tree_.child(BackupTree::kRoot, row);
                    if (takes(database)) parts.push_back({database, 0, tree_.childCount(database)});
                }
                break;
        }
        for (const Part& part : parts)
            total_ += part.count;

        begin();
        for (const Part& part : parts) {
            if (!going()) break;
            databaseRecords(part);
        }
        if (going()) end();
        if (going() && !out_.empty() && !sink_(out_)) status_ = ExportStatus::Failed;
        if (going() && progress_ && !progress_(total_, total_)) status_ = ExportStatus::Cancelled;
        return {status_, written_};
    }

  private:
    // Rows first to first + count of one database node.
    struct Part {
        NodeId database;
        std::size_t first;
        std::size_t count;
    };

    bool going() const { return status_ == ExportStatus::Written; }

    KnownDb dbOf(NodeId database) const { return tree_.index().databases[database - 1].db; }
    bool takes(NodeId database) const {
        return tree_.kind(database) == NodeKind::Database &&
               FormatTakes(request_.format, dbOf(database));
    }

    void begin() {
        switch (request_.format) {
            case StandardFormat::VCard:
                break;
            case StandardFormat::ICalendar:
                out_.append(ICalendarHeader());
                break;
            case StandardFormat::Json:
                json_.beginObject();
                json_.member("file", tree_.path());
                json_.key("databases");
                json_.beginArray();
                break;
        }
    }

    void end() {
        switch (request_.format) {
            case StandardFormat::VCard:
                break;
            case StandardFormat::ICalendar:
                out_.append(ICalendarFooter());
                break;
            case StandardFormat::Json:
                json_.endArray();
                json_.endObject();
                out_.push_back('\n');
                break;
        }
    }

    // The records of one part, in tree order.
    void databaseRecords(const Part& part) {
        const NodeId database = part.database;
        const KnownDb db = dbOf(database);
        const RecordIndex& index = tree_.index();
        const std::vector<std::uint32_t>& rows = index.databases[database - 1].records;
        const bool json = request_.format == StandardFormat::Json;
        if (json) {
            json_.newline();
            json_.beginObject();
            json_.member("name", NameOf(db));
            json_.key("records");
            json_.beginArray();
        }
        // The databases' records are interleaved in the file: the next ones are fetched early.
        const std::uint8_t* image = tree_.image().bytes().data();
        constexpr std::size_t kAhead = 4;
        const std::size_t last = std::min(part.first + part.count, rows.size());
        for (std::size_t row = part.first; row < last && going(); ++row) {
            if (row + kAhead < last) {
                __builtin_prefetch(image + index.records[rows[row + kAhead]].span.start);
                if (row + 4 * kAhead < last)
                    __builtin_prefetch(&index.records[rows[row + 4 * kAhead]]);
            }
            const RecordSpan span = index.records[rows[row]].span;
            switch (request_.format) {
                case StandardFormat::VCard:
                    vcard(db, span);
                    break;
                case StandardFormat::ICalendar:
                    icalendar(db, span);
                    break;
                case StandardFormat::Json:
                    jsonRecord(db, span, row);
                    break;
            }
            ++written_;
            recordDone();
        }
        if (json) {
            json_.endArray();
            json_.endObject();
        }
    }

    void recordDone() {
        json_.flush();
        ++done_;
        if (out_.size() >= kFlushSize) {
            if (!sink_(out_)) status_ = ExportStatus::Failed;
            out_.clear();
        }
        if (going() && progress_ && done_ % kProgressStep == 0 && !progress_(done_, total_)) {
            status_ = ExportStatus::Cancelled;
        }
    }

    void vcard(KnownDb db, RecordSpan span) {
        ContactRecord contact =
            DecodeContact(tree_.image(), span, db == KnownDb::AddressBookAll, context_);
        AppendVCard(contact, contact.photo, RecordUid(NameOf(db), tree_.image(), span), out_);
    }

    void icalendar(KnownDb db, RecordSpan span) {
        std::string uid = RecordUid(NameOf(db), tree_.image(), span);
        if (db == KnownDb::Tasks) {
            AppendTodo(DecodeTask(tree_.image(), span, context_), uid, stamp_, out_);
        } else {
            AppendEvent(DecodeCalendar(tree_.image(), span, db == KnownDb::CalendarAll, context_),
                        uid, stamp_, out_);
        }
    }

    void jsonRecord(KnownDb db, RecordSpan span, std::size_t row) {
        json_.newline();
        json_.beginObject();
        json_.member("index", static_cast<std::int64_t>(row + 1));
        std::array<char, 48> tag;
        json_.member("tag", Tag(span, tag));
        auto body = RecordBody(tree_.image(), span);
        Bytes head = body ? Slice(*body, 0, kRecordFieldsOffset) : Bytes{};
        json_.key("handle");
        if (head.size() >= 2) {
            json_.number(static_cast<std::int64_t>(LittleEndianValue(Slice(head, 0, 2))));
        } else {
            json_.null();
        }
        json_.key("uniqueId");
        if (head.size() >= kRecordFieldsOffset) {
            json_.number(static_cast<std::int64_t>(LittleEndianValue(Slice(head, 2, 4))));
        } else {
            json_.null();
        }
        // The tree's label made by its own rules, but from the full Unicode texts.
        json_.member("label",
                     label_rules::Label(db, body ? *body : Bytes{}, UnicodeForm{context_.text}));
        json_.key("values");
        json_.beginObject();
        jsonValues(db, span);
        json_.endObject();
        json_.endObject();
    }

    void jsonValues(KnownDb db, RecordSpan span) {
        const IpdImage& image = tree_.image();
        switch (db) {
            case KnownDb::Sms:
                JsonValues(json_, DecodeSms(image, span, context_));
                break;
            case KnownDb::AddressBook:
            case KnownDb::AddressBookAll:
                JsonValues(json_,
                           DecodeContact(image, span, db == KnownDb::AddressBookAll, context_));
                break;
            case KnownDb::Calendar:
            case KnownDb::CalendarAll:
                JsonValues(json_,
                           DecodeCalendar(image, span, db == KnownDb::CalendarAll, context_));
                break;
            case KnownDb::Tasks:
                JsonValues(json_, DecodeTask(image, span, context_));
                break;
            case KnownDb::Memos:
                JsonValues(json_, DecodeMemo(image, span, context_));
                break;
            case KnownDb::PhoneCallLogs:
                JsonValues(json_, DecodeCall(image, span, context_));
                break;
            case KnownDb::ServiceBook:
                JsonValues(json_, DecodeServiceBook(image, span, context_.text));
                break;
        }
    }

    const BackupTree& tree_;
    const StandardExportRequest& request_;
    const ExportSink& sink_;
    const ProgressCallback& progress_;
    DecodeContext context_;
    std::int64_t stamp_ = 0;
    std::string out_;
    JsonWriter json_;
    std::uint64_t done_ = 0;
    std::uint64_t total_ = 0;
    std::uint64_t written_ = 0;
    ExportStatus status_ = ExportStatus::Written;
};

}  // namespace

const StandardFormatInfo* StandardFormatByName(std::string_view name) {
    for (const auto& info : kStandardFormats) {
        if (info.name == name) return &info;
    }
    return nullptr;
}

bool FormatTakes(StandardFormat format, KnownDb db) {
    switch (format) {
        case StandardFormat::VCard:
            return db == KnownDb::AddressBook || db == KnownDb::AddressBookAll;
        case StandardFormat::ICalendar:
            return db == KnownDb::Calendar || db == KnownDb::CalendarAll || db == KnownDb::Tasks;
        case StandardFormat::Json:
            return true;
    }
    return false;
}

StandardRun RenderStandardExport(const BackupTree& tree, const StandardExportRequest& request,
                                 const ExportSink& sink, const ProgressCallback& progress) {
    return StandardRunner(tree, request, sink, progress).run();
}

std::string RenderStandardExportToString(const BackupTree& tree,
                                         const StandardExportRequest& request) {
    std::string all;
    RenderStandardExport(tree, request, [&all](std::string_view bytes) {
        all.append(bytes);
        return true;
    });
    return all;
}

ExportResult ExportStandardToFile(const BackupTree& tree, const StandardExportRequest& request,
                                  const std::string& path, const ProgressCallback& progress,
                                  IfTaken ifTaken) {
    std::uint64_t records = 0;
    ExportResult result = WriteExportFile(
        path,
        [&](const ExportSink& sink) {
            StandardRun run = RenderStandardExport(tree, request, sink, progress);
            records = run.records;
            return run.status;
        },
        ifTaken);
    result.records = records;
    return result;
}

std::string StandardExportFileName(std::string_view openedPath, StandardFormat format,
                                   std::tm when) {
    return ExportFileName(openedPath, InfoOf(format).extension, when);
}

}  // namespace orrelin
