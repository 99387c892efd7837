#pragma once

#include "base/result.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orrelin::ipdgen {

// Writes a backup of `records` email records ("Messages", with every tenth a PIN message and
// every twentieth a saved email), followed by a few browser bookmarks (both layouts of their
// items), browser URLs and time zones, streaming. The messages cover repeated recipients, a
// recipient without a name, 8-bit and 16-bit subjects, an HTML-only body, body lines beginning
// with "From " and lines too long for 8bit transfer. The same seed gives the same bytes.

Status WriteMailBackup(const std::string& path, std::uint64_t records, std::uint64_t seed);

}  // namespace orrelin::ipdgen
