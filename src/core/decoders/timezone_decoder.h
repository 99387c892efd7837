#pragma once

// "Time Zones": field 1 the zone's index (32-bit), 2 its name, 3 its offset from UTC in minutes
// (signed 16-bit), 4 its daylight saving offset (32-bit), 6 the month daylight saving starts,
// 11 the month it ends, 100 the zone's type. Numbers are little-endian; a field absent or too
// short for its number gives nothing.

#include <cstdint>
#include <optional>
#include <string>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

struct TimeZoneRecord {
    std::optional<std::uint32_t> index;
    std::string name;
    std::optional<std::int16_t> utcOffsetMinutes;
    std::optional<std::int32_t> dstOffset;
    std::optional<std::uint8_t> startMonth;
    std::optional<std::uint8_t> endMonth;
    std::optional<std::uint8_t> zoneType;
};

inline constexpr std::uint8_t kZoneIndex = 1;
inline constexpr std::uint8_t kZoneName = FieldOf(kTimeZoneFields, 0).type;
inline constexpr std::uint8_t kZoneUtcOffset = 3;
inline constexpr std::uint8_t kZoneDstOffset = 4;
inline constexpr std::uint8_t kZoneStartMonth = 6;
inline constexpr std::uint8_t kZoneEndMonth = 11;
inline constexpr std::uint8_t kZoneType = 100;

// "+05:30", "-03:00": an offset in minutes as the sign, hours and minutes.
std::string UtcOffsetText(std::int32_t minutes);

TimeZoneRecord DecodeTimeZone(const IpdImage& image, RecordSpan span, const DecodeContext& context);

}  // namespace orrelin
