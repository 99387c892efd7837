#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "decoders/decode_context.h"
#include "ipd/ipd_format.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

// One decoded value with the pane label it is shown under.
struct ValueRow {
    std::size_t index;
    std::string_view label;
    std::string value;
};

// The values of a record of any recognised database, in slot order: the 34 texts of a contact
// (slots 0-33, not the picture path), the 22 values of a service book entry, every slot of the
// others.
std::vector<ValueRow> DecodeValues(const IpdImage& image, KnownDb db, RecordSpan span,
                                   const DecodeContext& context);

// Whether the record holds a character that code page 1256 cannot show: one its texts lose
// when reduced to single-byte text (each 8-bit text's byte always has a character there).
bool HoldsCharactersBeyondCp1256(const IpdImage& image, KnownDb db, RecordSpan span);

}  // namespace orrelin
