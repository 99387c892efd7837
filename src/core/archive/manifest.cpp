#include "archive/manifest.h"

#include <expat.h>

#include <charconv>
#include <cstring>
#include <memory>

namespace orrelin {
namespace {

struct ParseState {
    Manifest manifest;
    std::vector<std::string> path;  // the open elements
    bool inDatabase = false;
    bool sawEntity = false;
    XML_Parser parser = nullptr;
};

std::optional<std::uint64_t> Number(const char* text) {
    const std::string_view digits(text);
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

void XMLCALL Start(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& state = *static_cast<ParseState*>(data);
    const std::string_view element(name);
    if (element == "QnxOSDevice") state.manifest.blackBerry10 = true;
    if (element == "Database" && !state.path.empty() && state.path.back() == "Databases") {
        ManifestDatabase database;
        for (const XML_Char** a = attributes; a[0] && a[1]; a += 2) {
            if (std::strcmp(a[0], "uid") == 0) database.uid = a[1];
            if (std::strcmp(a[0], "recordcount") == 0) database.recordCount = Number(a[1]);
        }
        state.manifest.databases.push_back(std::move(database));
        state.inDatabase = true;
    }
    state.path.emplace_back(element);
}

void XMLCALL End(void* data, const XML_Char*) {
    auto& state = *static_cast<ParseState*>(data);
    if (!state.path.empty()) state.path.pop_back();
    state.inDatabase = false;
}

void XMLCALL Text(void* data, const XML_Char* text, int length) {
    auto& state = *static_cast<ParseState*>(data);
    if (state.inDatabase && length > 0)
        state.manifest.databases.back().name.append(text, static_cast<std::size_t>(length));
}

// A manifest has no use for entities of its own; refusing their definitions keeps a crafted
// file from growing without bound as it is expanded.
void XMLCALL Entity(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                    const XML_Char*, const XML_Char*, const XML_Char*) {
    auto& state = *static_cast<ParseState*>(data);
    state.sawEntity = true;
    XML_StopParser(state.parser, XML_FALSE);
}

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

}  // namespace

Result<Manifest> ParseManifest(std::string_view xml) {
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate(nullptr));
    if (!parser) return Failure{"out of memory"};
    ParseState state;
    state.parser = parser.get();
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), Start, End);
    XML_SetCharacterDataHandler(parser.get(), Text);
    XML_SetEntityDeclHandler(parser.get(), Entity);
    // Fed in pieces: one call takes at most an int's worth of bytes.
    constexpr std::size_t kPiece = 1 << 20;
    std::size_t at = 0;
    do {
        const std::size_t n = xml.size() - at < kPiece ? xml.size() - at : kPiece;
        const bool last = at + n == xml.size();
        if (XML_Parse(parser.get(), xml.data() + at, static_cast<int>(n), last) ==
            XML_STATUS_ERROR) {
            if (state.sawEntity) return Failure{"it defines entities"};
            return Failure{"line " + std::to_string(XML_GetCurrentLineNumber(parser.get())) + ": " +
                           XML_ErrorString(XML_GetErrorCode(parser.get()))};
        }
        at += n;
    } while (at < xml.size());
    return std::move(state.manifest);
}

}  // namespace orrelin
