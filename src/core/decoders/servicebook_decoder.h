#pragma once

#include <array>
#include <string>
#include <string_view>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

// The 22 values of a service book entry, by their index in the pane and the editor:
// 0-10 the network block (type 22), 11-16 the configuration block (type 9), 17-21 the
// top-level name, UID, CID, User ID and description.
struct ServiceBookFields {
    static constexpr std::size_t kCount = 22;
    std::array<std::string, kCount> values;
    const std::string& operator[](std::size_t i) const { return values[i]; }
};

inline constexpr auto kServiceBookLabels = PaneCaptions(kServiceBookFields);

// Texts are single-byte text unless `text` asks for the Unicode form.
ServiceBookFields DecodeServiceBook(const IpdImage& image, RecordSpan span,
                                    const TextOptions& text = {});

// The configuration block's item finders on its items (header already dropped): data of the
// first item of `itemType`; layout A is [length][type][data][separator], layout B
// [type][length][data]. A length past the end yields what remains.
Bytes FindLengthTypeItem(Bytes items, std::uint8_t itemType);
Bytes FindTypeLengthItem(Bytes items, std::uint8_t itemType);

}  // namespace orrelin
