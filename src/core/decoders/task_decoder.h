#pragma once

#include <array>
#include <string>
#include <string_view>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

struct TaskRecord {
    enum Slot { Title, Status, Priority, Notes };
    std::array<std::string, 4> values;
    const std::string& operator[](Slot s) const { return values[s]; }
};

inline constexpr auto kTaskLabels = PaneCaptions(kTaskFields);
inline constexpr std::array<std::string_view, 5> kTaskStatusWords{
    "Not Started", "In Progress", "Completed", "Waiting", "Deferred"};
inline constexpr std::array<std::string_view, 3> kTaskPriorityWords{"High", "Normal", "Low"};

TaskRecord DecodeTask(const IpdImage& image, RecordSpan span, const DecodeContext& context);

}  // namespace orrelin
