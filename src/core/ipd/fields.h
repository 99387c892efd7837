#pragma once

// A record's fields: a run of [data length LE16][type][data] (ipd_format.h), walked here and
// nowhere else. A field follows another only when that one ends before the run does; a tail
// too short for a field's three header bytes is no field; a last field whose length runs past
// the run keeps the bytes there are.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "ipd/byte_reader.h"

namespace orrelin {

inline constexpr std::size_t kFieldHeaderSize = 3;  // length LE16, type

struct RawField {
    std::uint8_t type = 0;
    std::uint16_t length = 0;  // the data length the field states
    Bytes data;                // its bytes: fewer than `length` when they run past the run
    bool cut() const { return data.size() < length; }
};

// The fields of a run one after another.
class FieldWalker {
  public:
    explicit FieldWalker(Bytes fields) : fields_(fields) {}

    // The next field, or nothing once none follows.
    std::optional<RawField> next() {
        const std::size_t n = fields_.size();
        if (done_ || n - pos_ < kFieldHeaderSize) return std::nullopt;
        RawField field;
        field.length = static_cast<std::uint16_t>(fields_[pos_] | fields_[pos_ + 1] << 8);
        field.type = fields_[pos_ + 2];
        const std::size_t at = pos_ + kFieldHeaderSize;
        const std::size_t rest = n - at;
        field.data = fields_.subspan(at, field.length < rest ? field.length : rest);
        if (field.length >= rest) {
            done_ = true;
        } else {
            pos_ = at + field.length;
        }
        return field;
    }

  private:
    Bytes fields_;
    std::size_t pos_ = 0;
    bool done_ = false;
};

// The data of the first field of `type`; empty when there is no such field.
inline Bytes FindField(Bytes fields, std::uint8_t type) {
    FieldWalker walker(fields);
    while (auto field = walker.next()) {
        if (field->type == type) return field->data;
    }
    return {};
}

// The data of the field directly after the first field of `type` when that one has the same
// type; empty otherwise.
inline Bytes FindSecondField(Bytes fields, std::uint8_t type) {
    FieldWalker walker(fields);
    while (auto field = walker.next()) {
        if (field->type != type) continue;
        auto second = walker.next();
        return second && second->type == type ? second->data : Bytes{};
    }
    return {};
}

// A run walked once for a decoder that reads many of its fields: the first field of each type,
// and which types are there at all.
class FieldMap {
  public:
    explicit FieldMap(Bytes fields) : fields_(fields) {
        FieldWalker walker(fields);
        while (auto field = walker.next()) {
            if (has(field->type)) continue;
            present_[field->type >> 6] |= std::uint64_t{1} << (field->type & 63);
            first_[field->type] = static_cast<std::uint32_t>(field->data.data() - fields.data());
        }
    }

    bool has(std::uint8_t type) const { return (present_[type >> 6] >> (type & 63)) & 1; }

    // FindField(fields, type).
    Bytes find(std::uint8_t type) const { return has(type) ? fieldAt(first_[type]).data : Bytes{}; }
    // FindSecondField(fields, type).
    Bytes findSecond(std::uint8_t type) const {
        if (!has(type)) return {};
        const RawField first = fieldAt(first_[type]);
        const std::size_t after = first_[type] + std::size_t{first.length};
        // A first field that reaches the end of the run has none after it.
        if (after >= fields_.size()) return {};
        auto second = FieldWalker(fields_.subspan(after)).next();
        return second && second->type == type ? second->data : Bytes{};
    }

  private:
    // The field whose data starts at `at`.
    RawField fieldAt(std::size_t at) const {
        return *FieldWalker(fields_.subspan(at - kFieldHeaderSize)).next();
    }

    Bytes fields_;
    std::array<std::uint64_t, 4> present_{};
    // Where the data of the first field of each type present starts; the others are never read.
    std::array<std::uint32_t, 256> first_;
};

}  // namespace orrelin
