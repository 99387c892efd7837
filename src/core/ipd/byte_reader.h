#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/bytes.h"

namespace orrelin {

// The one way the program looks at bytes of a backup: every read is checked against the end of
// the span it was given, and reads past it yield nothing instead of touching memory.
class ByteReader {
  public:
    explicit ByteReader(Bytes bytes, std::size_t position = 0) : bytes_(bytes), pos_(position) {}

    std::size_t position() const { return pos_; }
    std::size_t size() const { return bytes_.size(); }
    std::size_t remaining() const { return pos_ < bytes_.size() ? bytes_.size() - pos_ : 0; }
    bool atEnd() const { return remaining() == 0; }
    void seek(std::size_t position) { pos_ = position; }
    // Moves on by n bytes; a skip past the end leaves the reader at its end.
    void skip(std::size_t n) { pos_ = n > remaining() ? bytes_.size() : pos_ + n; }

    std::optional<std::uint8_t> u8() {
        if (remaining() < 1) return std::nullopt;
        return bytes_[pos_++];
    }
    std::optional<std::uint16_t> le16() {
        if (remaining() < 2) return std::nullopt;
        auto v = static_cast<std::uint16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }
    std::optional<std::uint16_t> be16() {
        if (remaining() < 2) return std::nullopt;
        auto v = static_cast<std::uint16_t>(bytes_[pos_] << 8 | bytes_[pos_ + 1]);
        pos_ += 2;
        return v;
    }
    std::optional<std::uint32_t> le32() {
        if (remaining() < 4) return std::nullopt;
        std::uint32_t v = static_cast<std::uint32_t>(bytes_[pos_]) |
                          static_cast<std::uint32_t>(bytes_[pos_ + 1]) << 8 |
                          static_cast<std::uint32_t>(bytes_[pos_ + 2]) << 16 |
                          static_cast<std::uint32_t>(bytes_[pos_ + 3]) << 24;
        pos_ += 4;
        return v;
    }
    // Up to n bytes from the current position: fewer when the span ends earlier.
    Bytes take(std::size_t n) {
        std::size_t k = n < remaining() ? n : remaining();
        Bytes out = bytes_.subspan(pos_ < bytes_.size() ? pos_ : bytes_.size(), k);
        pos_ += k;
        return out;
    }
    // Exactly n bytes, or nothing (and no move) when fewer remain.
    std::optional<Bytes> takeExact(std::size_t n) {
        if (remaining() < n) return std::nullopt;
        Bytes out = bytes_.subspan(pos_, n);
        pos_ += n;
        return out;
    }
    Bytes rest() const { return bytes_.subspan(pos_ < bytes_.size() ? pos_ : bytes_.size()); }

  private:
    Bytes bytes_;
    std::size_t pos_;
};

// The part of `bytes` from `offset` on, empty when offset lies past the end.
inline Bytes Tail(Bytes bytes, std::size_t offset) {
    return offset < bytes.size() ? bytes.subspan(offset) : Bytes{};
}

// Up to `count` bytes of `bytes` from `offset`, clamped to what is there.
inline Bytes Slice(Bytes bytes, std::size_t offset, std::size_t count) {
    Bytes tail = Tail(bytes, offset);
    return tail.first(count < tail.size() ? count : tail.size());
}

// A little-endian number of up to eight bytes, the first byte least significant.
inline std::uint64_t LittleEndianValue(Bytes bytes) {
    std::uint64_t v = 0;
    std::size_t n = bytes.size() < 8 ? bytes.size() : 8;
    for (std::size_t i = n; i-- > 0;)
        v = v << 8 | bytes[i];
    return v;
}

}  // namespace orrelin
