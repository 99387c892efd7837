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

struct CalendarRecord {
    enum Slot { Subject, Location, Start, End, Duration, Notes };
    std::array<std::string, 6> values;
    // Start and end as instants, in seconds since 1970-01-01 00:00 UTC, read straight from the
    // stored minute counts (no display offset); nothing when the record has no such field.
    std::optional<std::int64_t> startUtc = std::nullopt;
    std::optional<std::int64_t> endUtc = std::nullopt;
    const std::string& operator[](Slot s) const { return values[s]; }
};

inline constexpr auto kCalendarLabels = PaneCaptions(kCalendarFields);

// Decodes an appointment; `allForm` is true for "Calendar - All", whose fields lie inside the
// record's first type-10 field behind its first 4 bytes. Duration is never filled.
CalendarRecord DecodeCalendar(const IpdImage& image, RecordSpan span, bool allForm,
                              const DecodeContext& context);

}  // namespace orrelin
