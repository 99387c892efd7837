#pragma once

// A record's fields walked once, for a decoder that reads many of them: FindField walks the
// run from its start for every type it is asked for, which for a contact read for some fifty
// types is most of the decoding. FieldMap finds the same data from one walk.

#include <array>
#include <cstddef>
#include <cstdint>

#include "ipd/byte_reader.h"

namespace orrelin {

class FieldMap {
  public:
    // The walk is FindField's: [data length LE16][type][data] after one another, until a
    // header no longer fits or a field's data reaches the end of the run.
    explicit FieldMap(Bytes fields) : fields_(fields) {
        const std::size_t n = fields.size();
        std::size_t pos = 0;
        while (n - pos >= kHeader) {
            const std::uint8_t type = fields[pos + 2];
            if (!has(type)) {
                present_[type >> 6] |= std::uint64_t{1} << (type & 63);
                first_[type] = static_cast<std::uint32_t>(pos);
            }
            if (length(pos) >= n - pos - kHeader) break;
            pos += length(pos) + kHeader;
        }
    }

    bool has(std::uint8_t type) const { return (present_[type >> 6] >> (type & 63)) & 1; }

    // FindField(fields, type): the data of the first field of `type`, cut at the end of the
    // run; empty when there is none.
    Bytes find(std::uint8_t type) const {
        if (!has(type)) return {};
        return data(first_[type]);
    }

    // FindField(fields, type, 2): the data of the field directly after the first of `type`
    // when that one has the same type; empty otherwise.
    Bytes findSecond(std::uint8_t type) const {
        if (!has(type)) return {};
        const std::size_t n = fields_.size();
        const std::size_t first = first_[type];
        if (length(first) >= n - first - kHeader) return {};
        const std::size_t second = first + kHeader + length(first);
        if (n - second < kHeader || fields_[second + 2] != type) return {};
        return data(second);
    }

  private:
    static constexpr std::size_t kHeader = 3;  // length LE16, type

    std::size_t length(std::size_t pos) const {
        return static_cast<std::size_t>(fields_[pos] | fields_[pos + 1] << 8);
    }
    Bytes data(std::size_t pos) const {
        const std::size_t rest = fields_.size() - pos - kHeader;
        const std::size_t n = length(pos);
        return fields_.subspan(pos + kHeader, n < rest ? n : rest);
    }

    Bytes fields_;
    std::array<std::uint64_t, 4> present_{};
    // The first field of each type present; the others are never read.
    std::array<std::uint32_t, 256> first_;
};

}  // namespace orrelin
