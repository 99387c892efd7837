#include "text/utf8.h"

#include <cstdint>

namespace orrelin {

std::size_t Utf8SequenceLength(std::string_view s) {
    if (s.empty()) return 0;
    auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    auto continuation = [&](std::size_t i, std::uint8_t low = 0x80, std::uint8_t high = 0xBF) {
        return i < s.size() && at(i) >= low && at(i) <= high;
    };
    const std::uint8_t b = at(0);
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return continuation(1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        const std::uint8_t low = b == 0xE0 ? 0xA0 : 0x80;   // overlong below
        const std::uint8_t high = b == 0xED ? 0x9F : 0xBF;  // surrogates above
        return continuation(1, low, high) && continuation(2) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const std::uint8_t low = b == 0xF0 ? 0x90 : 0x80;   // overlong below
        const std::uint8_t high = b == 0xF4 ? 0x8F : 0xBF;  // past U+10FFFF above
        return continuation(1, low, high) && continuation(2) && continuation(3) ? 4 : 0;
    }
    return 0;
}

std::optional<Utf8Char> DecodeUtf8(std::string_view s) {
    const std::size_t n = Utf8SequenceLength(s);
    if (n == 0) return std::nullopt;
    auto at = [&](std::size_t i) { return static_cast<char32_t>(static_cast<std::uint8_t>(s[i])); };
    // The lead byte keeps 7, 5, 4 or 3 bits; each continuation byte adds 6.
    static constexpr char32_t kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = at(0) & kLeadBits[n];
    for (std::size_t i = 1; i < n; ++i)
        code = code << 6 | (at(i) & 0x3F);
    return Utf8Char{code, n};
}

void AppendUtf8(std::string& out, char32_t u) {
    if ((u >= 0xD800 && u <= 0xDFFF) || u > 0x10FFFF) u = 0xFFFD;
    if (u < 0x80) {
        out.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (u >> 6)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else if (u < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (u >> 12)));
        out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (u >> 18)));
        out.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
}

}  // namespace orrelin
