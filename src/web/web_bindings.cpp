// The worker's calls into the core (embind): two sessions (the backup shown and the second
// file of a merge), the page's options, and the answers as JSON texts or files to save.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "export/export_formats.h"
#include "export/json_writer.h"
#include "text/codepage.h"
#include "web/web_session.h"

namespace orrelin::web {
namespace {

using emscripten::val;

std::array<Session, 2> g_sessions;
ViewOptions g_options;
// The bytes of the file about to be opened, filled by the page.
std::shared_ptr<std::uint8_t[]> g_pending;
std::size_t g_pendingLength = 0;

Session& SessionAt(int slot) {
    return g_sessions[slot == 1 ? 1 : 0];
}

ProgressCallback Reporter(val progress) {
    if (progress.isUndefined() || progress.isNull()) return {};
    return [progress](std::uint64_t done, std::uint64_t total) {
        progress(static_cast<double>(done), static_cast<double>(total));
        return true;
    };
}

val Saved(const SavedFile& file) {
    val out = val::object();
    out.set("error", file.error);
    out.set("name", file.name);
    out.set("message", file.message);
    out.set("bytes",
            val::global("Uint8Array")
                .new_(emscripten::typed_memory_view(
                    file.bytes.size(), reinterpret_cast<const std::uint8_t*>(file.bytes.data()))));
    return out;
}

std::vector<NodeId> Nodes(val list) {
    std::vector<NodeId> out;
    const auto n = list["length"].as<unsigned>();
    for (unsigned i = 0; i < n; ++i)
        out.push_back(list[i].as<NodeId>());
    return out;
}

// Room for a file of `length` bytes; the page copies it there before open().
std::uintptr_t Prepare(double length) {
    g_pendingLength = static_cast<std::size_t>(length);
    g_pending.reset(new std::uint8_t[g_pendingLength + 1]);
    return reinterpret_cast<std::uintptr_t>(g_pending.get());
}

std::string Open(int slot, const std::string& name, bool allDatabases, val progress) {
    auto block = std::move(g_pending);
    if (!block) block.reset(new std::uint8_t[1]), g_pendingLength = 0;
    return SessionAt(slot).open(std::move(block), g_pendingLength, name, allDatabases,
                                Reporter(progress));
}

void SetOptions(const std::string& timeZone, bool unicode, const std::string& codePage,
                bool allDatabases) {
    g_options.timeZone = timeZone.empty() ? "GMT" : timeZone;
    g_options.unicode = unicode;
    g_options.eightBitPage = CodePageByName(codePage).value_or(CodePage::Cp1252);
    g_options.allDatabases = allDatabases;
}

std::string Tree(int slot) {
    return SessionAt(slot).treeJson(g_options);
}

std::string Records(int slot, double database) {
    return SessionAt(slot).recordsJson(static_cast<NodeId>(database), g_options);
}

std::string Record(int slot, double node, bool rawFields) {
    return SessionAt(slot).recordJson(static_cast<NodeId>(node), g_options, rawFields);
}

std::string Find(const std::string& query) {
    return SessionAt(0).findJson(query);
}

// The rows of the format table: name, caption, extension, row of buttons, and what it lacks.
std::string Formats() {
    std::string out;
    JsonWriter json(out);
    json.beginArray();
    for (const ExportFormatInfo& info : kExportFormats) {
        json.beginObject();
        json.member("name", info.name);
        json.member("caption", info.caption);
        json.member("version", info.version);
        json.member("extension", info.extension);
        json.member("description", info.description);
        json.member("row", info.panelRow);
        json.member("missing", info.missing);
        json.endObject();
    }
    json.endArray();
    return out;
}

val Export(double format, int scope, double node, val progress) {
    std::optional<NodeId> selected;
    if (node >= 0) selected = static_cast<NodeId>(node);
    return Saved(SessionAt(0).exportFile(static_cast<std::size_t>(format), scope, selected,
                                         g_options, Reporter(progress)));
}

val Split(val toggles, const std::string& name) {
    return Saved(SplitFile(SessionAt(0), Nodes(toggles), name));
}

val Merge(val firstToggles, val secondToggles, const std::string& name) {
    return Saved(
        MergeFile(SessionAt(0), Nodes(firstToggles), &SessionAt(1), Nodes(secondToggles), name));
}

val SaveServiceBook(double node, val values, bool allEntries) {
    std::vector<std::string> texts;
    const auto n = values["length"].as<unsigned>();
    for (unsigned i = 0; i < n; ++i)
        texts.push_back(values[i].as<std::string>());
    return Saved(SessionAt(0).saveServiceBook(static_cast<NodeId>(node), texts, allEntries));
}

}  // namespace
}  // namespace orrelin::web

EMSCRIPTEN_BINDINGS(orrelin_web) {
    using namespace orrelin::web;
    emscripten::function("prepare", &Prepare);
    emscripten::function("open", &Open);
    emscripten::function("setOptions", &SetOptions);
    emscripten::function("tree", &Tree);
    emscripten::function("records", &Records);
    emscripten::function("record", &Record);
    emscripten::function("find", &Find);
    emscripten::function("formats", &Formats);
    emscripten::function("exportFile", &Export);
    emscripten::function("split", &Split);
    emscripten::function("merge", &Merge);
    emscripten::function("saveServiceBook", &SaveServiceBook);
}
