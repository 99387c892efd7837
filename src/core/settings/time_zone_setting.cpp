#include "settings/time_zone_setting.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "base/bytes.h"
#include "base/paths.h"
#include "io/file_output.h"
#include "io/platform.h"
#include "text/codepage.h"

namespace orrelin {
namespace {

constexpr std::string_view kSection = "TZ";
constexpr std::string_view kKey = "tzd";
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
            char e = raw[i + 1];
            i += 2;
            switch (e) {
                case 'a':
                    piece->push_back('\a');
                    break;
                case 'b':
                    piece->push_back('\b');
                    break;
                case 'f':
                    piece->push_back('\f');
                    break;
                case 'n':
                    piece->push_back('\n');
                    break;
                case 'r':
                    piece->push_back('\r');
                    break;
                case 't':
                    piece->push_back('\t');
                    break;
                case 'v':
                    piece->push_back('\v');
                    break;
                case 'x': {
                    char32_t u = 0;
                    while (i < raw.size() && HexDigit(raw[i]) >= 0) {
                        u = u * 16 + static_cast<char32_t>(HexDigit(raw[i]));
                        ++i;
                    }
                    AppendUtf8(*piece, u);
                    break;
                }
                default:
                    if (e >= '0' && e <= '7') {
                        char32_t u = static_cast<char32_t>(e - '0');
                        while (i < raw.size() && raw[i] >= '0' && raw[i] <= '7') {
                            u = u * 8 + static_cast<char32_t>(raw[i] - '0');
                            ++i;
                        }
                        AppendUtf8(*piece, u);
                    } else {
                        piece->push_back(e);  // \" \' \\ \? and any other character as itself
                    }
            }
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

// A value as the settings store writes it: in quotes when blanks lead or trail or a separator
// stands in it, with backslash escapes for quotes, backslashes and control characters.
std::string EscapeValue(std::string_view value) {
    std::string body;
    bool needsQuotes = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    if (!value.empty() && value.front() == '@') body = "@";
    for (char c : value) {
        switch (c) {
            case '"':
                body += "\\\"";
                break;
            case '\\':
                body += "\\\\";
                break;
            case '\n':
                body += "\\n";
                break;
            case '\r':
                body += "\\r";
                break;
            case '\t':
                body += "\\t";
                break;
            case ';':
            case ',':
            case '=':
                needsQuotes = true;
                body.push_back(c);
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    body += "\\x";
                    body.push_back(LowerHexDigit(static_cast<unsigned char>(c) >> 4));
                    body.push_back(LowerHexDigit(static_cast<unsigned char>(c)));
                } else {
                    body.push_back(c);
                }
        }
    }
    return needsQuotes ? "\"" + body + "\"" : body;
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

std::string TimeZoneSettingPath() {
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
        if (!keyLine || section != kSection || UnescapeKey(keyLine->first) != kKey) continue;
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

std::optional<std::string> ReadTimeZoneSetting(const std::string& path) {
    if (path.empty()) return std::nullopt;
    auto text = ReadWholeFile(path);
    if (!text) return std::nullopt;
    return ParseTimeZoneSetting(*text);
}

std::string ReadStoredTimeZone() {
    auto stored = ReadTimeZoneSetting(TimeZoneSettingPath());
    return stored ? *stored : std::string(kDefaultTimeZone);
}

std::string WithTimeZoneSetting(std::string_view iniText, std::string_view value) {
    const std::string entry = std::string(kKey) + "=" + EscapeValue(value);
    std::vector<std::string_view> lines = Lines(iniText);
    std::string section;
    std::optional<std::size_t> keyLine;
    std::optional<std::size_t> lastOfSection;  // last non-empty line of the TZ section
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view trimmed = Trim(lines[i]);
        if (trimmed.empty()) continue;
        if (auto name = SectionLine(trimmed)) {
            section = *name;
            if (section == kSection && !lastOfSection) lastOfSection = i;
            continue;
        }
        if (section != kSection) continue;
        lastOfSection = i;
        if (IsComment(trimmed)) continue;
        auto key = KeyLine(trimmed);
        if (key && UnescapeKey(key->first) == kKey) keyLine = i;
    }
    std::string out;
    auto append = [&out](std::string_view line) {
        out.append(line);
        out.push_back('\n');
    };
    if (!lastOfSection) {
        for (auto line : lines)
            append(line);
        if (!out.empty() && !Trim(lines.back()).empty()) out.push_back('\n');
        out.push_back('[');
        out.append(kSection);
        append("]");
        append(entry);
        return out;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (keyLine && i == *keyLine) {
            append(entry);
            continue;
        }
        append(lines[i]);
        if (!keyLine && i == *lastOfSection) append(entry);
    }
    return out;
}

std::optional<std::string> WriteTimeZoneSetting(const std::string& path, std::string_view value) {
    if (path.empty()) {
        std::string whyNot;
        platform::SettingsFolder(whyNot);
        return "no folder for settings (" + whyNot + ")";
    }
    const std::string folder = FolderOfPath(path);
    if (!folder.empty()) {
        if (auto error = platform::MakeFolders(folder)) return error;
    }
    std::string text = WithTimeZoneSetting(ReadWholeFile(path).value_or(std::string()), value);
    return WriteFileAtomically(path,
                               {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

std::optional<std::string> WriteStoredTimeZone(std::string_view value) {
    return WriteTimeZoneSetting(TimeZoneSettingPath(), value);
}

}  // namespace orrelin
