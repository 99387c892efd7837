#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "decoders/decode_context.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

struct TaskRecord {
    enum Slot { Title, Status, Priority, Notes };
    std::array<std::string, 4> values;
    // The due time as an instant in seconds since 1970-01-01 00:00 UTC; nothing when the
    // record holds none. The fields read here (title, notes, status, priority) carry no due
    // time, so DecodeTask leaves it empty; it is there for records that state one.
    std::optional<std::int64_t> dueUtc = std::nullopt;
    const std::string& operator[](Slot s) const { return values[s]; }
};

inline constexpr std::array<std::string_view, 4> kTaskLabels{"Task", "Status", "Priority", "Notes"};
inline constexpr std::array<std::string_view, 5> kTaskStatusWords{
    "Not Started", "In Progress", "Completed", "Waiting", "Deferred"};
inline constexpr std::array<std::string_view, 3> kTaskPriorityWords{"High", "Normal", "Low"};

TaskRecord DecodeTask(const IpdImage& image, RecordSpan span, const DecodeContext& context);

}  // namespace orrelin
