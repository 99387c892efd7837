#include "decoders/html_text.h"

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "text/codepage.h"
#include "text/utf8.h"

namespace orrelin {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The tag's name, lower case, without the "/" of a closing tag.
std::string TagName(std::string_view tag) {
    std::size_t i = 0;
    if (i < tag.size() && tag[i] == '/') ++i;
    std::string name;
    while (i < tag.size() && ((tag[i] >= 'a' && tag[i] <= 'z') ||
                              (tag[i] >= 'A' && tag[i] <= 'Z') || (tag[i] >= '0' && tag[i] <= '9')))
        name += Lower(tag[i++]);
    return name;
}

bool BreaksLine(const std::string& name) {
    static constexpr std::array<std::string_view, 12> kBreaking{
        "br", "p", "div", "li", "tr", "h1", "h2", "h3", "h4", "h5", "h6", "blockquote"};
    for (std::string_view b : kBreaking) {
        if (name == b) return true;
    }
    return false;
}

// The character a reference at `at` (just past its "&") stands for, and its length up to and
// with the ";"; nothing for an unknown one.
std::optional<std::pair<char32_t, std::size_t>> Reference(std::string_view html, std::size_t at) {
    const std::size_t end = html.find(';', at);
    if (end == std::string_view::npos || end - at > 10) return std::nullopt;
    const std::string_view name = html.substr(at, end - at);
    static constexpr std::array<std::pair<std::string_view, char32_t>, 6> kNamed{{{"amp", U'&'},
                                                                                  {"lt", U'<'},
                                                                                  {"gt", U'>'},
                                                                                  {"quot", U'"'},
                                                                                  {"apos", U'\''},
                                                                                  {"nbsp", U' '}}};
    for (const auto& [n, c] : kNamed) {
        if (name == n) return std::pair{c, name.size() + 1};
    }
    if (name.size() < 2 || name[0] != '#') return std::nullopt;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    std::uint32_t value = 0;
    for (std::size_t i = hex ? 2 : 1; i < name.size(); ++i) {
        const char c = Lower(name[i]);
        std::uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        } else {
            return std::nullopt;
        }
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) return std::nullopt;
    }
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
    return std::pair{static_cast<char32_t>(value), name.size() + 1};
}

}  // namespace

std::string HtmlAsText(std::string_view html, bool singleByte) {
    std::string out;
    out.reserve(html.size());
    bool blank = false;  // a blank is owed before the next character
    std::string_view skipUntil;
    for (std::size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '<') {
            const std::size_t close = html.find('>', i);
            const std::size_t end = close == std::string_view::npos ? html.size() : close;
            if (html.substr(i, 4) == "<!--") {
                const std::size_t comment = html.find("-->", i + 4);
                i = comment == std::string_view::npos ? html.size() : comment + 3;
                continue;
            }
            const std::string_view tag = html.substr(i + 1, end - i - 1);
            const std::string name = TagName(tag);
            const bool closing = !tag.empty() && tag[0] == '/';
            if (!skipUntil.empty()) {
                if (closing && name == skipUntil) skipUntil = {};
            } else if (!closing && (name == "script" || name == "style")) {
                skipUntil = name == "script" ? "script" : "style";
            } else if (BreaksLine(name)) {
                if (!out.empty() && out.back() != '\n') out += '\n';
                blank = false;
            }
            i = end + 1;
            continue;
        }
        if (!skipUntil.empty()) {
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = !out.empty() && out.back() != '\n';
            ++i;
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        if (c == '&') {
            if (auto ref = Reference(html, i + 1)) {
                if (singleByte) {
                    out += static_cast<char>(UnicodeToCp1256(ref->first));
                } else {
                    AppendUtf8(out, ref->first);
                }
                i += 1 + ref->second;
                continue;
            }
        }
        out += c;
        ++i;
    }
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

}  // namespace orrelin
