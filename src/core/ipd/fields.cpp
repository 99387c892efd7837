#include "ipd/fields.h"

namespace orrelin {

Bytes FindField(Bytes fields, std::uint8_t type, int mode) {
    constexpr std::size_t kHeader = 3;  // length LE16, type
    ByteReader r(fields);
    while (r.remaining() >= kHeader) {
        const std::uint16_t length = *r.le16();
        const std::uint8_t t = *r.u8();
        if (t == type && mode != 2) return r.take(length);
        // Another field follows only when this one ends before the run does.
        if (length >= r.remaining()) return {};
        r.skip(length);
        if (t != type) continue;
        if (r.remaining() < kHeader) return {};
        const std::uint16_t secondLength = *r.le16();
        if (*r.u8() != type) return {};
        return r.take(secondLength);
    }
    return {};
}

}  // namespace orrelin
