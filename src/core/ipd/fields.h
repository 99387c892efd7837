#pragma once

// A record's fields: a run of [data length LE16][type][data].

#include <cstdint>

#include "ipd/byte_reader.h"

namespace orrelin {

// The data of the first field of `type` (in mode 2 of the field directly after it, when that
// one has the same type); a length that runs past the end yields what is there. Empty when
// there is no such field.
Bytes FindField(Bytes fields, std::uint8_t type, int mode = 0);

}  // namespace orrelin
