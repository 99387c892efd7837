#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orrelin {

// Bytes looked at where they lie, and bytes owned.
using Bytes = std::span<const std::uint8_t>;
using ByteVector = std::vector<std::uint8_t>;

// Uppercase hex of the bytes, two digits each.
std::string BytesToHex(Bytes bytes);

}  // namespace orrelin
