#include "export/standard_text.h"

#include <cstdint>

#include "text/codepage.h"

namespace orrelin {
namespace {

constexpr std::size_t kMaxLineOctets = 75;

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
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
        std::size_t n = Utf8SequenceLength(text.substr(i));
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
