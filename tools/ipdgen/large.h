#pragma once

#include "base/result.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orrelin::ipdgen {

// Writes a backup of `records` records mixed over the databases (mostly messages, contacts and
// calls), about 150 bytes per record, streaming: memory use does not grow with the count. The
// same seed gives the same bytes. Returns nothing on success, else the reason.
Status WriteLargeBackup(const std::string& path, std::uint64_t records, std::uint64_t seed);

}  // namespace orrelin::ipdgen
