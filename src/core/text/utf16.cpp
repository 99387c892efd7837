#include "text/utf16.h"

#include "text/codepage.h"
#include "text/utf8.h"

namespace orrelin {
namespace {

bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

SingleByteText Utf16BeToText(Bytes units) {
    SingleByteText out;
    out.reserve(units.size() / 2 + 1);
    std::size_t i = 0;
    for (; i + 1 < units.size(); i += 2) {
        out.push_back(static_cast<char>(
            UnicodeToCp1256(static_cast<char32_t>(units[i] << 8 | units[i + 1]))));
    }
    if (i < units.size()) out.push_back(static_cast<char>(UnicodeToCp1256(units[i])));
    return out;
}

std::string Utf16BeToUtf8(Bytes units, bool stripControls) {
    std::string out;
    out.reserve(units.size());
    std::size_t i = 0;
    auto unitAt = [&](std::size_t at) -> char32_t {
        if (at + 1 < units.size()) return static_cast<char32_t>(units[at] << 8 | units[at + 1]);
        return units[at];  // a lone last byte
    };
    while (i < units.size()) {
        char32_t u = unitAt(i);
        i += 2;
        if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(unitAt(i))) {
            u = 0x10000 + ((u - 0xD800) << 10) + (unitAt(i) - 0xDC00);
            i += 2;
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            u = 0xFFFD;
        }
        if (stripControls && u < 0x20 && u != '\r' && u != '\n') continue;
        AppendUtf8(out, u);
    }
    return out;
}

}  // namespace orrelin
