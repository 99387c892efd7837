#pragma once

// What the decoders share about a record body: [handle LE16][unique id 4][fields], each field
// [data length LE16][type][data].

#include <array>
#include <cstdint>
#include <optional>

#include "ipd/byte_reader.h"
#include "ipd/ipd_format.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

inline constexpr std::size_t kRecordFieldsOffset = kBodyFieldsAt;

// The record body of a span: nothing when it lies outside the image, empty when end < start.
inline std::optional<Bytes> RecordBody(const IpdImage& image, RecordSpan span) {
    return image.range(span.start, span.end);
}

// The fields of a record body, behind its handle and unique id.
inline Bytes RecordFields(Bytes body) {
    return Tail(body, kRecordFieldsOffset);
}

// A small number stored in a field: its first four data bytes as a signed 32-bit little-endian
// value, missing high bytes counting as 0 (so an absent field reads 0).
inline std::int32_t SmallNumber(Bytes data) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(LittleEndianValue(Slice(data, 0, 4))));
}

// The field types of a run, met as FindField walks it: FindField finds nothing for a type
// that is not here, so a record read for many types is walked once instead of once a type.
class FieldTypes {
  public:
    explicit FieldTypes(Bytes fields) {
        const std::size_t n = fields.size();
        std::size_t pos = 0;
        while (n - pos >= 3) {
            std::uint8_t type = fields[pos + 2];
            bits_[type >> 6] |= std::uint64_t{1} << (type & 63);
            std::size_t whole = static_cast<std::size_t>(fields[pos] | fields[pos + 1] << 8) + 3;
            if (whole >= n - pos) break;
            pos += whole;
        }
    }
    bool has(std::uint8_t type) const { return (bits_[type >> 6] >> (type & 63)) & 1; }

  private:
    std::array<std::uint64_t, 4> bits_{};
};

}  // namespace orrelin
