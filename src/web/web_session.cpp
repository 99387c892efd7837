#include "web/web_session.h"

#include <algorithm>

#include "base/paths.h"
#include "browser/open_backup.h"
#include "browser/tree_keys.h"
#include "decoders/servicebook_decoder.h"
#include "decoders/time_format.h"
#include "export/export_engine.h"
#include "export/json_writer.h"
#include "io/file_output.h"
#include "ipd/loader.h"
#include "kinds/labels.h"
#include "kinds/raw_fields.h"
#include "kinds/record_kinds.h"
#include "servicebook/servicebook_save.h"
#include "text/codepage.h"

namespace orrelin::web {
namespace {

std::string Failed(std::string_view error) {
    std::string out;
    JsonWriter json(out);
    json.beginObject();
    json.key("ok");
    json.boolean(false);
    json.member("error", error);
    json.endObject();
    return out;
}

// A single-byte text as the window shows it: each byte through code page 1256.
std::string Shown(std::string_view singleByte) {
    return SingleByteToUtf8(singleByte, CodePage::Cp1256);
}

// A node's text in the tree: in full Unicode when the option is on.
std::string ShownText(const BackupTree& tree, NodeId node, const TextOptions& text) {
    return text.unicode ? tree.unicodeText(node, text) : Shown(tree.text(node));
}

std::string_view ShapeName(PaneShape shape) {
    switch (shape) {
        case PaneShape::FewLines:
            return "few";
        case PaneShape::Wrapped:
            return "wrapped";
        case PaneShape::Box:
            return "box";
        case PaneShape::Line:
            break;
    }
    return "line";
}

void WriteRawFields(JsonWriter& json, Bytes body) {
    json.key("raw");
    json.beginArray();
    for (const RawField& field : ReadRawFields(body)) {
        json.beginObject();
        json.member("type", field.type);
        json.member("length", field.length);
        json.member("hex", RawHex(field.data));
        json.member("text", RawText(field.data));
        json.endObject();
    }
    json.endArray();
}

}  // namespace

DecodeContext ViewOptions::context(const IpdImage& image) const {
    DecodeContext out;
    out.timeZoneText = TimeZoneTextFromSetting(timeZone);
    out.dateStyle = DateStyle::UsEnglish();
    out.text = TextOptionsFor(image, TextOptions{unicode, eightBitPage});
    return out;
}

std::string Session::open(std::shared_ptr<std::uint8_t[]> block, std::size_t length,
                          const std::string& name, bool allDatabases,
                          const ProgressCallback& progress) {
    OpenOptions options;
    options.which = allDatabases ? Databases::All : Databases::Decoded;
    options.progress = progress;
    auto opened = OpenBackupBytes(IpdImage(std::move(block), length), name, options);
    if (!opened) return Failed(opened.error());
    std::vector<std::string> warnings;
    for (const std::string& warning : opened->warnings)
        warnings.push_back(name + ": " + warning);
    if (opened->index.stop) warnings.push_back(WalkStopWarning(name, *opened->index.stop));
    const std::string counts = opened->index.complete() ? CountsLine(opened->index) : "";
    tree_.emplace(std::move(opened->image), std::move(opened->index), std::move(opened->warnings));
    index_.reset();

    std::string out;
    JsonWriter json(out);
    json.beginObject();
    json.key("ok");
    json.boolean(true);
    json.member("name", FileNameOfPath(name));
    json.member("counts", counts);
    json.key("warnings");
    json.beginArray();
    for (const std::string& warning : warnings)
        json.string(warning);
    json.endArray();
    json.endObject();
    return out;
}

std::string Session::treeJson(const ViewOptions& options) const {
    std::string out;
    JsonWriter json(out);
    json.beginObject();
    if (!tree_) {
        json.member("root", BackupTree::kEmptyRootText);
        json.endObject();
        return out;
    }
    const BackupTree& tree = *tree_;
    const TextOptions text = options.context(tree.image()).text;
    json.member("root", ShownText(tree, BackupTree::kRoot, text));
    json.key("databases");
    json.beginArray();
    for (std::size_t row = 0; row < tree.childCount(BackupTree::kRoot); ++row) {
        const NodeId database = tree.child(BackupTree::kRoot, row);
        json.newline();
        json.beginObject();
        json.member("id", database);
        json.member("key", tree.key(database));
        json.member("name", ShownText(tree, database, text));
        json.member("count", tree.childCount(database));
        json.endObject();
    }
    json.endArray();
    json.endObject();
    return out;
}

std::string Session::recordsJson(NodeId database, const ViewOptions& options) const {
    std::string out;
    JsonWriter json(out);
    json.beginArray();
    if (!tree_ || database >= tree_->nodeCount() || tree_->kind(database) != NodeKind::Database) {
        json.endArray();
        return out;
    }
    const BackupTree& tree = *tree_;
    const TextOptions text = options.context(tree.image()).text;
    for (std::size_t i = 0; i < tree.childCount(database); ++i) {
        const NodeId record = tree.child(database, i);
        // [node id, label, image]
        json.beginArray();
        json.number(record);
        json.string(ShownText(tree, record, text));
        json.string(ImageKeyName(tree.image(record)));
        json.endArray();
    }
    json.endArray();
    return out;
}

std::string Session::recordJson(NodeId node, const ViewOptions& options, bool rawFields) const {
    if (!tree_ || node >= tree_->nodeCount() || tree_->kind(node) != NodeKind::Record)
        return Failed("no such record");
    const BackupTree& tree = *tree_;
    const DatabaseNode& database = *tree.databaseOf(node);
    const RecordSpan span = *tree.span(node);
    const Bytes body = tree.image().range(span.start, span.end).value_or(Bytes{});
    std::string out;
    JsonWriter json(out);
    json.beginObject();
    json.key("ok");
    json.boolean(true);
    json.member("tag", tree.tag(node));
    const bool decoded = database.decoded();
    if (decoded) {
        const KindInfo& kind = KindInfoOf(*database.db);
        const PaneInfo& pane = kind.pane;
        const DecodeContext context = options.context(tree.image());
        RecordValues values;
        DecodeRecord(tree.image(), *database.db, span, context, values);
        const bool unicode = context.text.unicode && !pane.singleByte;
        json.member("title", pane.title);
        json.member("pane", pane.objectName);
        json.key("rows");
        json.beginArray();
        // A pane that names no rows of its own (the service book editor's) shows every field of
        // its kind's table.
        const bool named = !pane.fieldNames.empty();
        const std::size_t rows = named ? pane.fieldNames.size() : kind.fields.size();
        for (std::size_t i = 0; i < rows; ++i) {
            const FieldRow& field = kind.fields[pane.order.empty() ? i : pane.order[i]];
            json.beginObject();
            json.member("slot", field.slot);
            json.member("name", named ? pane.fieldNames[i] : field.pane);
            json.member("label", Shown(field.pane));
            json.member("tab", PaneTabOf(pane.tabs, field.slot));
            json.member("shape", ShapeName(PaneShapeOf(pane.shapes, field.slot)));
            const std::string& value = values.texts[field.slot];
            json.member("value", unicode ? value : Shown(value));
            json.endObject();
        }
        json.endArray();
    } else {
        json.member("title", "Raw Fields");
    }
    if (rawFields || !decoded) WriteRawFields(json, body);
    json.endObject();
    return out;
}

std::string Session::findJson(const std::string& query) {
    if (!tree_) return "[]";
    const BackupTree& tree = *tree_;
    if (!index_) index_ = std::make_unique<TextIndex>(TextIndex::Build(tree.image(), tree.index()));
    const RecordIndex& index = tree.index();
    const TextOptions unicode = TextOptionsFor(tree.image(), TextOptions{true});
    std::string out;
    JsonWriter json(out);
    json.beginArray();
    for (const SearchMatch& match : index_->search(query)) {
        const RecordEntry& entry = index.records[match.record];
        const DatabaseNode& node = index.databases[entry.database];
        const auto row = std::lower_bound(node.records.begin(), node.records.end(), match.record);
        json.beginObject();
        json.member("id", tree.recordNode(match.record));
        json.member("databaseId", tree.parent(tree.recordNode(match.record)).value_or(0));
        json.member("database", Shown(node.name()));
        json.member("number", row - node.records.begin() + 1);
        const Bytes body = tree.image().range(entry.span.start, entry.span.end).value_or(Bytes{});
        json.member("label", UnicodeLabel(node, body, unicode));
        json.member("field", Shown(FieldCaption(node, match.field)));
        json.endObject();
    }
    json.endArray();
    return out;
}

SavedFile Session::exportFile(std::size_t format, int scope, std::optional<NodeId> selected,
                              const ViewOptions& options, const ProgressCallback& progress) const {
    SavedFile saved;
    if (!tree_ || format >= kExportFormats.size()) {
        saved.error = "nothing to export";
        return saved;
    }
    const BackupTree& tree = *tree_;
    const ExportFormatInfo& info = kExportFormats[format];
    if (!info.missing.empty()) {
        saved.error = "this build has no " + std::string(info.caption) + " export (" +
                      std::string(info.missing) + ")";
        return saved;
    }
    ExportRequest request;
    request.format = info.format;
    request.scope = static_cast<ExportScope>(std::clamp(scope, 0, 2));
    if (selected && *selected >= tree.nodeCount()) selected.reset();
    request.node = ScopeNode(tree, request.scope, selected);
    request.context = options.context(tree.image());
    // The Unicode formats keep every character whatever the option; the text and CSV ones
    // follow it, as --unicode.
    if (info.unicode) request.context.text = TextOptions{};
    request.eightBitPage = options.eightBitPage;
    if (request.scope != ExportScope::File && !request.node) {
        saved.error = "Select a record or a database to export.";
        return saved;
    }
    if (request.node && request.scope != ExportScope::File && !info.unicode) {
        const NodeId database = tree.kind(*request.node) == NodeKind::Database
                                    ? *request.node
                                    : *tree.parent(*request.node);
        if (!FormatTakes(info.format, tree.database(database))) {
            saved.error =
                "\"" + Shown(tree.text(database)) + "\" holds no records that can be exported";
            return saved;
        }
    }
    std::uint64_t records = 0;
    ExportRun run = RenderExport(
        tree, request,
        [&](std::string_view bytes) {
            saved.bytes.append(bytes);
            return true;
        },
        progress);
    records = run.records;
    if (run.status == ExportStatus::Cancelled) {
        saved.error = "the export was cancelled";
        return saved;
    }
    saved.name = FileNameOfPath(ExportFileName(tree.path(), info.format, LocalTimeNow()));
    saved.message = ClosingMessage(saved.name, info.format, records, false).text();
    return saved;
}

SavedFile Session::saveServiceBook(NodeId node, const std::vector<std::string>& values,
                                   bool allEntries) const {
    SavedFile saved;
    if (!tree_ || node >= tree_->nodeCount()) {
        saved.error = "no such service book entry";
        return saved;
    }
    auto entry = ServiceBookEntry::Of(*tree_, node);
    if (!entry || tree_->databaseByParentText(node) != KnownDb::ServiceBook) {
        saved.error = "no such service book entry";
        return saved;
    }
    ServiceBookFields fields;
    for (std::size_t i = 0; i < ServiceBookFields::kCount && i < values.size(); ++i) {
        auto text = Utf8ToCp1256(values[i]);
        if (!text) {
            saved.error = NoSingleByteCode(i).message;
            return saved;
        }
        fields.values[i] = *text;
    }
    BuildResult rebuilt = BuildServiceBookRecord(entry->code, fields);
    if (auto* refusal = std::get_if<EditRefusal>(&rebuilt)) {
        saved.error = refusal->message;
        return saved;
    }
    const auto kind = allEntries ? ServiceBookSaveKind::AllEntries : ServiceBookSaveKind::EntryOnly;
    const ByteVector bytes = AssembleServiceBookFile(*entry, std::get<ByteVector>(rebuilt), kind);
    saved.bytes.assign(bytes.begin(), bytes.end());
    saved.name = FileNameOfPath(ServiceBookSaveName(tree_->path(), LocalTimeNow()));
    saved.message = SavedMessage(saved.name);
    return saved;
}

}  // namespace orrelin::web
