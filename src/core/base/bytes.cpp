#include "base/bytes.h"

namespace orrelin {

std::string BytesToHex(Bytes bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.resize(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[2 * i] = kDigits[bytes[i] >> 4];
        out[2 * i + 1] = kDigits[bytes[i] & 0xF];
    }
    return out;
}

}  // namespace orrelin
