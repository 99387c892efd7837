#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

struct CallRecord {
    enum Slot { Name, Number, Date, Duration, Direction, Status };
    std::array<std::string, 6> values;
    // The time of the call as an instant, in whole seconds since 1970-01-01 00:00 UTC, read
    // straight from the stored millisecond count (the shown date carries the display offset);
    // nothing when the record has no time field.
    std::optional<std::int64_t> timeUtc;
    // The same instant to the millisecond, as stored.
    std::optional<std::uint64_t> timeMillis;
    // The duration as stored, in seconds (0 when the record has none).
    std::int32_t durationSeconds = 0;
    const std::string& operator[](Slot s) const { return values[s]; }
};

inline constexpr auto kCallLabels = PaneCaptions(kCallFields);
inline constexpr std::array<std::string_view, 3> kCallDirectionWords{"Received Call", "Placed Call",
                                                                     "Missed Call"};
// Status 0 shows nothing, 1 "Busy", every other number the failure text.
inline constexpr std::string_view kCallStatusBusy = "Busy";
inline constexpr std::string_view kCallStatusFailed = "Error: Call Failed";

CallRecord DecodeCall(const IpdImage& image, RecordSpan span, const DecodeContext& context);

}  // namespace orrelin
