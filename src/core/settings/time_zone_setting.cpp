#include "settings/time_zone_setting.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "io/platform.h"
#include "text/utf8.h"

namespace orrelin {
namespace {

constexpr std::string_view kFileName = "orrelin_beta.conf";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        auto nl = text.find('\n');
        lines.push_back(text.substr(0, nl));
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
    return lines;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Section names and keys may carry %XX escapes (and %UXXXX for other characters).
std::string UnescapeKey(std::string_view key) {
    std::string out;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (key[i] == '%' && i + 2 < key.size() && HexDigit(key[i + 1]) >= 0 &&
            HexDigit(key[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexDigit(key[i + 1]) * 16 + HexDigit(key[i + 2])));
            i += 2;
        } else {
            out.push_back(key[i]);
        }
    }
    return out;
}

// The key line of a line, when it is one: "key = value" inside a section.
std::optional<std::pair<std::string_view, std::string_view>> KeyLine(std::string_view line) {
    auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return std::pair{Trim(line.substr(0, eq)), line.substr(eq + 1)};
}

std::optional<std::string> SectionLine(std::string_view trimmed) {
    if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
    auto close = trimmed.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return UnescapeKey(Trim(trimmed.substr(1, close - 1)));
}

bool IsComment(std::string_view trimmed) {
    return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

// Reads the backslash escape at raw[i] (i is just past the backslash) onto `piece`, returning
// the position after it: \a \b \f \n \r \t \v, \x and hex digits, \ and octal digits (\101), and
// any other character (\" \' \\ \?) as itself.
std::size_t ReadEscape(std::string_view raw, std::size_t i, std::string& piece) {
    const char e = raw[i++];
    constexpr std::string_view kLetters = "abfnrtv";
    constexpr std::string_view kControls = "\a\b\f\n\r\t\v";
    if (auto at = kLetters.find(e); at != std::string_view::npos) {
        piece.push_back(kControls[at]);
        return i;
    }
    if (e == 'x') {
        char32_t u = 0;
        while (i < raw.size() && HexDigit(raw[i]) >= 0)
            u = u * 16 + static_cast<char32_t>(HexDigit(raw[i++]));
        AppendUtf8(piece, u);
        return i;
    }
    if (e >= '0' && e <= '7') {
        char32_t u = static_cast<char32_t>(e - '0');
        while (i < raw.size() && raw[i] >= '0' && raw[i] <= '7')
            u = u * 8 + static_cast<char32_t>(raw[i++] - '0');
        AppendUtf8(piece, u);
        return i;
    }
    piece.push_back(e);
    return i;
}

// A stored value: a list of pieces separated by unquoted commas, each either plain (trimmed)
// or in double quotes, with backslash escapes in both; an unquoted ";" starts a comment. One
// piece is a text; several are a list.
std::vector<std::string> UnescapeValue(std::string_view raw) {
    std::vector<std::string> pieces(1);
    std::string* piece = &pieces.back();
    bool quoted = false;
    std::size_t plainEnd = 0;  // length of the piece up to its last non-blank plain character
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < raw.size() && IsBlank(raw[i]))
            ++i;
    };
    skipBlanks();
    while (i < raw.size()) {
        char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
            ++i;
            plainEnd = piece->size();
            continue;
        }
        if (c == ';' && !quoted) break;  // the rest of the line is a comment
        if (c == ',' && !quoted) {
            piece->resize(plainEnd);
            pieces.emplace_back();
            piece = &pieces.back();
            plainEnd = 0;
            ++i;
            skipBlanks();
            continue;
        }
        if (c == '\\' && i + 1 < raw.size()) {
            i = ReadEscape(raw, i + 1, *piece);
            plainEnd = piece->size();
            continue;
        }
        piece->push_back(c);
        ++i;
        if (quoted || !IsBlank(c)) plainEnd = piece->size();
    }
    piece->resize(plainEnd);
    return pieces;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path native = platform::NativePath(path);
    if (!std::filesystem::is_regular_file(native, ec)) return std::nullopt;
    std::ifstream in(native, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return std::move(text).str();
}

}  // namespace

std::string SettingsFilePath() {
    std::string whyNot;
    const std::string folder = platform::SettingsFolder(whyNot);
    if (folder.empty()) return {};
    return folder + std::string(kFileName);
}

std::optional<std::string> ParseTimeZoneSetting(std::string_view iniText) {
    std::string section;
    std::optional<std::string> found;
    for (std::string_view line : Lines(iniText)) {
        std::string_view trimmed = Trim(line);
        if (trimmed.empty() || IsComment(trimmed)) continue;
        if (auto name = SectionLine(trimmed)) {
            section = *name;
            continue;
        }
        auto keyLine = KeyLine(trimmed);
        if (!keyLine || section != kTimeZoneSection || UnescapeKey(keyLine->first) != kTimeZoneKey)
            continue;
        // The last entry of a repeated key is the one that counts.
        std::vector<std::string> pieces = UnescapeValue(keyLine->second);
        if (pieces.size() != 1) {
            found.reset();  // a list, not a text
            continue;
        }
        std::string& value = pieces.front();
        if (value.starts_with("@@")) {
            found = value.substr(1);
        } else if (value.starts_with("@String(") && value.ends_with(")")) {
            found = value.substr(8, value.size() - 9);
        } else if (value.starts_with("@") && value.find('(') != std::string::npos) {
            found.reset();  // another kind of value
        } else {
            found = std::move(value);
        }
    }
    return found;
}

std::string ReadStoredTimeZone() {
    const std::string path = SettingsFilePath();
    std::optional<std::string> stored;
    if (!path.empty()) {
        if (auto text = ReadWholeFile(path)) stored = ParseTimeZoneSetting(*text);
    }
    return stored ? *stored : std::string(kDefaultTimeZone);
}

}  // namespace orrelin
