#include "base/bytes.h"

namespace orrelin {

std::string BytesToHex(Bytes bytes, char separator) {
    std::string out;
    if (bytes.empty()) return out;
    const std::size_t step = separator != '\0' ? 3 : 2;
    out.resize(bytes.size() * step - (step - 2));
    char* at = out.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && separator != '\0') *at++ = separator;
        *at++ = HexDigit(bytes[i] >> 4);
        *at++ = HexDigit(bytes[i]);
    }
    return out;
}

void AppendBase64(Bytes bytes, std::string& out) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::size_t start = out.size();
    out.resize(start + (bytes.size() + 2) / 3 * 4);
    char* at = out.data() + start;
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t n = static_cast<std::uint32_t>(bytes[i]) << 16 |
                                static_cast<std::uint32_t>(bytes[i + 1]) << 8 | bytes[i + 2];
        *at++ = kAlphabet[n >> 18 & 0x3F];
        *at++ = kAlphabet[n >> 12 & 0x3F];
        *at++ = kAlphabet[n >> 6 & 0x3F];
        *at++ = kAlphabet[n & 0x3F];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        std::uint32_t n = static_cast<std::uint32_t>(bytes[i]) << 16;
        if (rest == 2) n |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
        *at++ = kAlphabet[n >> 18 & 0x3F];
        *at++ = kAlphabet[n >> 12 & 0x3F];
        *at++ = rest == 2 ? kAlphabet[n >> 6 & 0x3F] : '=';
        *at++ = '=';
    }
}

std::string Base64Encode(Bytes bytes) {
    std::string out;
    AppendBase64(bytes, out);
    return out;
}

}  // namespace orrelin
