#pragma once

#include <array>
#include <string>
#include <string_view>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

struct MemoRecord {
    enum Slot { Title, Body };
    std::array<std::string, 2> values;
    const std::string& operator[](Slot s) const { return values[s]; }
};

inline constexpr auto kMemoLabels = PaneCaptions(kMemoFields);

MemoRecord DecodeMemo(const IpdImage& image, RecordSpan span, const DecodeContext& context);

}  // namespace orrelin
