#pragma once

// What the decoders share about a record body: [handle LE16][unique id 4][fields], each field
// [data length LE16][type][data].

#include <cstdint>
#include <optional>

#include "ipd/byte_reader.h"
#include "ipd/ipd_format.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

// The record body of a span: nothing when it lies outside the image, empty when end < start.
inline std::optional<Bytes> RecordBody(const IpdImage& image, RecordSpan span) {
    return image.range(span.start, span.end);
}

// The fields of a record body, behind its handle and unique id.
inline Bytes RecordFields(Bytes body) {
    return Tail(body, kBodyFieldsAt);
}

// A small number stored in a field: its first four data bytes as a signed 32-bit little-endian
// value, missing high bytes counting as 0 (so an absent field reads 0).
inline std::int32_t SmallNumber(Bytes data) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(LittleEndianValue(Slice(data, 0, 4))));
}

}  // namespace orrelin
