// The JSON export: every record of every recognised database (and, when every database is
// asked for, the raw fields of the others), in full Unicode, times as UTC instants.

#include <array>
#include <charconv>

#include "decoders/record_fields.h"
#include "export/export_writer.h"
#include "export/json_writer.h"
#include "kinds/labels.h"
#include "kinds/raw_fields.h"
#include "text/codepage.h"

namespace orrelin {
namespace {

// A record's span tag "start:end", made without allocating.
std::string_view Tag(RecordSpan span, std::array<char, 48>& buffer) {
    // Two 20-digit numbers and the colon fit the buffer.
    char* const end = buffer.data() + buffer.size();
    char* colon = std::to_chars(buffer.data(), end - 22, span.start).ptr;
    *colon = ':';
    char* last = std::to_chars(colon + 1, end, span.end).ptr;
    return {buffer.data(), static_cast<std::size_t>(last - buffer.data())};
}

// One document, one record a line:
//   {"file":PATH,"databases":[
//   {"name":NAME,"records":[
//   {"index":N,"tag":T,"handle":H,"uniqueId":U,"label":L,"values":{...}}, ...]}, ...]}
// A value the record lacks (an empty text, no time) is left out: a contact's thirty-odd keys
// are mostly empty, and writing them would make the file a quarter larger.
class JsonExport final : public ExportWriter {
  public:
    JsonExport(const ExportHead& head, std::string& out)
        : head_(head), json_(out), context_(UnicodeContext(head.request)) {}

    void begin() override {
        json_.beginObject();
        json_.member("file", head_.tree.path());
        json_.key("databases");
        json_.beginArray();
        json_.flush();
    }

    void beginDatabase(KnownDb db) override {
        json_.newline();
        json_.beginObject();
        const DatabaseNode& database = head_.tree.index().databases[head_.database];
        if (database.decoded()) {
            json_.member("name", NameOf(db));
        } else {
            json_.member("name", SingleByteToUtf8(database.name(), head_.request.eightBitPage));
        }
        json_.key("records");
        json_.beginArray();
        json_.flush();
    }

    void record(const RecordItem& item) override {
        // A record is an element of its database's array: a comma before all but the first.
        json_.restartElements(!item.first);
        json_.newline();
        json_.beginObject();
        json_.member("index", static_cast<std::int64_t>(item.row + 1));
        std::array<char, 48> tag;
        json_.member("tag", Tag(item.span, tag));
        auto body = RecordBody(head_.tree.image(), item.span);
        Bytes head = body ? Slice(*body, 0, kBodyFieldsAt) : Bytes{};
        json_.key("handle");
        if (head.size() >= 2) {
            json_.number(static_cast<std::int64_t>(LittleEndianValue(Slice(head, 0, 2))));
        } else {
            json_.null();
        }
        json_.key("uniqueId");
        if (head.size() >= kBodyFieldsAt) {
            json_.number(static_cast<std::int64_t>(LittleEndianValue(Slice(head, 2, 4))));
        } else {
            json_.null();
        }
        // The tree's label made by its own rules, but from the full Unicode texts.
        const DatabaseNode& database = head_.tree.index().databases[item.database];
        json_.member("label", UnicodeLabel(database, body ? *body : Bytes{},
                                           TextOptionsFor(head_.tree.image(), context_.text)));
        if (database.decoded()) {
            json_.key("values");
            json_.beginObject();
            values(item);
            json_.endObject();
        } else {
            rawFields(body ? *body : Bytes{});
        }
        json_.endObject();
        json_.flush();
    }

    void endDatabase(KnownDb) override {
        json_.endArray();
        json_.endObject();
        json_.flush();
    }

    void end() override {
        json_.endArray();
        json_.endObject();
        json_.raw("\n");
        json_.flush();
    }

  private:
    // A record of a database the program does not decode: "fields", each field's type, the
    // length it states, its bytes in hex and their text reading.
    void rawFields(Bytes body) {
        json_.key("fields");
        json_.beginArray();
        for (const RawField& field : ReadRawFields(body)) {
            json_.beginObject();
            json_.member("type", static_cast<std::int64_t>(field.type));
            json_.member("length", static_cast<std::int64_t>(field.length));
            json_.member("hex", RawHex(field.data));
            json_.member("text", RawText(field.data));
            json_.endObject();
        }
        json_.endArray();
    }

    void values(const RecordItem& item) {
        DecodeRecord(head_.tree.image(), item.db, item.span, context_, values_);
        const KindInfo& kind = KindInfoOf(item.db);
        for (const FieldRow& field : JsonTexts(kind.kind)) {
            const std::string& value = values_.texts[field.slot];
            if (!value.empty()) json_.member(field.jsonKey, value);
        }
        for (const ExtraRow& extra : kind.extras)
            extraValue(extra);
    }

    void extraValue(const ExtraRow& extra) {
        switch (extra.value) {
            case ExtraValue::FirstInstant:
            case ExtraValue::SecondInstant: {
                const auto& instant = extra.value == ExtraValue::FirstInstant
                                          ? values_.firstInstant
                                          : values_.secondInstant;
                if (!instant) return;
                json_.key(extra.jsonKey);
                json_.instant(instant);
                return;
            }
            case ExtraValue::HasPhoto:
                json_.key(extra.jsonKey);
                json_.boolean(!values_.photo.empty());
                return;
            case ExtraValue::Number:
            case ExtraValue::Count:
                json_.member(extra.jsonKey, values_.number);
                return;
            case ExtraValue::JoinedTexts: {
                const std::string joined = JoinedTexts(values_, extra);
                if (!joined.empty()) json_.member(extra.jsonKey, joined);
                return;
            }
        }
    }

    const ExportHead& head_;
    JsonWriter json_;
    const DecodeContext context_;
    RecordValues values_;
};

}  // namespace

std::unique_ptr<ExportWriter> MakeJsonWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<JsonExport>(head, out);
}

}  // namespace orrelin
