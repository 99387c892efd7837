#pragma once

// The one way numbers are written little-endian, the byte order of every number in a backup
// but its database count: into any byte container (a std::string or a ByteVector).

#include <cstddef>
#include <cstdint>

namespace orrelin {

// The low `width` bytes of value, least significant first.
template <typename Out>
void AppendLe(Out& out, std::uint64_t value, std::size_t width) {
    using Byte = typename Out::value_type;
    for (std::size_t i = 0; i < width; ++i)
        out.push_back(static_cast<Byte>(static_cast<std::uint8_t>(value >> (8 * i))));
}

template <typename Out>
void AppendLe16(Out& out, std::uint16_t value) {
    AppendLe(out, value, 2);
}

template <typename Out>
void AppendLe32(Out& out, std::uint32_t value) {
    AppendLe(out, value, 4);
}

}  // namespace orrelin
