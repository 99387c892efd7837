#include "export/standard_text.h"

#include <cstdint>

#include "ipd/codepage.h"

namespace orrelin {
namespace {

constexpr std::size_t kMaxLineOctets = 75;

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at the start of `s`, or 0 when there is none
// (overlong forms, surrogates and values past U+10FFFF included).
std::size_t SequenceLength(std::string_view s) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    std::size_t n = lead >= 0xC2 && lead <= 0xDF   ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    if (n == 0 || s.size() < n) return 0;
    for (std::size_t i = 1; i < n; ++i)
        if (!IsContinuation(at(i))) return 0;
    unsigned char second = at(1);
    if (lead == 0xE0 && second < 0xA0) return 0;   // overlong
    if (lead == 0xED && second >= 0xA0) return 0;  // surrogate
    if (lead == 0xF0 && second < 0x90) return 0;   // overlong
    if (lead == 0xF4 && second >= 0x90) return 0;  // past U+10FFFF
    return n;
}

}  // namespace

std::string CleanText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        auto u = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += '\n';
            i += i + 1 < text.size() && text[i + 1] == '\n' ? 2u : 1u;
            continue;
        }
        if (u < 0x80) {
            if (u >= 0x20 ? u != 0x7F : c == '\t' || c == '\n') out += c;
            ++i;
            continue;
        }
        std::size_t n = SequenceLength(text.substr(i));
        if (n == 0) {
            AppendUtf8(out, 0xFFFD);
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

void AppendFoldedLine(std::string_view line, std::string& out) {
    std::size_t limit = kMaxLineOctets;  // the first line has no leading blank
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && IsContinuation(static_cast<unsigned char>(line[cut])))
            --cut;
        if (cut == 0) cut = limit;  // no character boundary at all: not UTF-8, cut anyway
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        limit = kMaxLineOctets - 1;
    }
    out.append(line);
    out += "\r\n";
}

}  // namespace orrelin
