#include "hex_text.h"

#include "base/bytes.h"
#include "text/codepage.h"

namespace orrelin {
namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string PlainHex(std::uint64_t n) {
    if (n == 0) return "0";
    std::string out;
    while (n != 0) {
        out.insert(out.begin(), HexDigit(static_cast<unsigned>(n)));
        n >>= 4;
    }
    return out;
}

}  // namespace

std::optional<std::int32_t> HexToLong(std::string_view h) {
    std::string_view last = h.size() > 8 ? h.substr(h.size() - 8) : h;
    std::uint32_t v = 0;
    for (char c : last) {
        int d = DigitValue(c);
        if (d < 0) return std::nullopt;
        v = v << 4 | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(v);
}

std::string NumberToEvenHex(std::uint64_t n) {
    std::string h = PlainHex(n);
    if (h.size() == 1 || h.size() == 3) h.insert(h.begin(), '0');
    return h;
}

std::string ByteToHex(std::int64_t n) {
    auto b = static_cast<std::uint8_t>(static_cast<std::uint64_t>(n) & 0xFF);
    return {HexDigit(b >> 4), HexDigit(b)};
}

std::string WordToLeHex(std::string_view h) {
    switch (h.size()) {
        case 1:
            return std::string("0") + h[0] + "00";
        case 2:
            return std::string(h) + "00";
        case 3:
            return std::string(h.substr(1, 2)) + "0" + h[0];
        case 4:
            return std::string(h.substr(2, 2)) + std::string(h.substr(0, 2));
        default:
            return {};
    }
}

std::string ReverseHexBytes(std::string_view h) {
    std::string out;
    out.reserve(h.size());
    std::size_t i = h.size();
    if (i % 2 == 1) {  // the lone last character comes first
        out.push_back(h[i - 1]);
        --i;
    }
    while (i >= 2) {
        out.append(h.substr(i - 2, 2));
        i -= 2;
    }
    return out;
}

SingleByteText HexToText(std::string_view h) {
    SingleByteText out;
    out.reserve(h.size() / 2 + 1);
    for (std::size_t i = 0; i < h.size(); i += 2) {
        auto v = HexToLong(h.substr(i, 2));
        out.push_back(static_cast<char>(v.value_or(0) & 0xFF));
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> HexToBytes(std::string_view h) {
    std::vector<std::uint8_t> out;
    out.reserve(h.size() / 2 + 1);
    for (std::size_t i = 0; i < h.size(); i += 2) {
        auto v = HexToLong(h.substr(i, 2));
        if (!v) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(*v & 0xFF));
    }
    return out;
}

std::string TextToHex(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        auto b = static_cast<std::uint8_t>(c);
        out.push_back(HexDigit(b >> 4));
        out.push_back(HexDigit(b));
    }
    return out;
}

SingleByteText UnicodeHexToText(std::string_view h) {
    SingleByteText out;
    out.reserve(h.size() / 4 + 1);
    for (std::size_t i = 0; i < h.size(); i += 4) {
        auto unit = HexToLong(h.substr(i, 4)).value_or(0);
        out.push_back(static_cast<char>(UnicodeToCp1256(static_cast<char32_t>(unit & 0xFFFF))));
    }
    return out;
}

std::string FindFieldHex(std::string_view fields, int type, int mode) {
    auto header = [](std::string_view r, std::size_t& length, int& t) {
        std::string lengthDigits = std::string(r.substr(2, 2)) + std::string(r.substr(0, 2));
        auto l = HexToLong(lengthDigits);
        auto ty = HexToLong(r.substr(4, 2));
        if (!l || !ty) return false;
        length = static_cast<std::size_t>(*l);
        t = *ty;
        return true;
    };
    auto dataOf = [](std::string_view r, std::size_t length) {
        std::size_t end = 2 * length + 6;
        if (r.size() <= 6) return std::string();
        return std::string(r.substr(6, (end < r.size() ? end : r.size()) - 6));
    };
    std::string_view r = fields;
    while (r.size() >= 6) {
        std::size_t length = 0;
        int t = 0;
        if (!header(r, length, t)) return {};
        std::size_t whole = 2 * length + 6;
        if (t != type) {
            r = whole < r.size() ? r.substr(whole) : std::string_view{};
            continue;
        }
        if (mode != 2) return dataOf(r, length);
        std::string_view s = whole < r.size() ? r.substr(whole) : std::string_view{};
        if (s.size() < 6) return {};
        std::size_t secondLength = 0;
        int secondType = 0;
        if (!header(s, secondLength, secondType) || secondType != type) return {};
        return dataOf(s, secondLength);
    }
    return {};
}

}  // namespace orrelin
