#include "decoders/timezone_decoder.h"

#include <cstdlib>

#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "ipd/fields.h"

namespace orrelin {

std::string UtcOffsetText(std::int32_t minutes) {
    const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(minutes));
    const std::int64_t hours = magnitude / 60;
    const std::int64_t rest = magnitude % 60;
    std::string out(1, minutes < 0 ? '-' : '+');
    if (hours < 10) out += '0';
    out += std::to_string(hours);
    out += ':';
    if (rest < 10) out += '0';
    out += std::to_string(rest);
    return out;
}

TimeZoneRecord DecodeTimeZone(const IpdImage& image, RecordSpan span,
                              const DecodeContext& context) {
    TimeZoneRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;
    Bytes fields = RecordFields(*body);
    const FieldMap map(fields);
    auto find = [&](std::uint8_t type) { return map.find(type); };
    record.index = ByteReader(find(kZoneIndex)).le32();
    record.name = TextField(fields, kZoneName, true, context.text);
    if (auto offset = ByteReader(find(kZoneUtcOffset)).le16())
        record.utcOffsetMinutes = static_cast<std::int16_t>(*offset);
    if (auto dst = ByteReader(find(kZoneDstOffset)).le32())
        record.dstOffset = static_cast<std::int32_t>(*dst);
    record.startMonth = ByteReader(find(kZoneStartMonth)).u8();
    record.endMonth = ByteReader(find(kZoneEndMonth)).u8();
    record.zoneType = ByteReader(find(kZoneType)).u8();
    return record;
}

}  // namespace orrelin
