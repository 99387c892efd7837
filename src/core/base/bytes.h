#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orrelin {

// Bytes looked at where they lie, and bytes owned.
using Bytes = std::span<const std::uint8_t>;
using ByteVector = std::vector<std::uint8_t>;

// The hex digit of the low four bits of `value`.
constexpr char HexDigit(unsigned value) {
    return "0123456789ABCDEF"[value & 0xF];
}
constexpr char LowerHexDigit(unsigned value) {
    return "0123456789abcdef"[value & 0xF];
}

// Uppercase hex of the bytes, two digits each, `separator` between two bytes when it is not 0.
std::string BytesToHex(Bytes bytes, char separator = '\0');

// Standard base64 (RFC 4648 alphabet, "=" padding, no line breaks) of the bytes, added to `out`.
void AppendBase64(Bytes bytes, std::string& out);
std::string Base64Encode(Bytes bytes);

}  // namespace orrelin
