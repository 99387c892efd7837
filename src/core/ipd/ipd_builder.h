#pragma once

// Assembles IPD bytes field by field: used by the sample generator and by tests that state
// their backups in code.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/bytes.h"
#include "base/little_endian.h"

namespace orrelin {

// A run of fields, each [data length LE16][type][data].
class FieldList {
  public:
    FieldList& add(std::uint8_t type, const ByteVector& data);
    // One byte per character; with `nul` a closing zero byte.
    FieldList& text(std::uint8_t type, std::string_view text, bool nul = false);
    // A 16-bit field: one leading byte, then UTF-16 code units high byte first.
    FieldList& utf16(std::uint8_t type, std::u16string_view text, std::uint8_t lead = 0);
    FieldList& le(std::uint8_t type, std::uint64_t value, std::size_t width);
    // The raw bytes of another run, appended as they are.
    FieldList& raw(const ByteVector& bytes);

    const ByteVector& bytes() const { return bytes_; }

  private:
    ByteVector bytes_;
};

class IpdBuilder {
  public:
    // Adds a name-table entry and returns its database index.
    std::uint16_t database(std::string_view name);
    // A name-table entry of raw name bytes (the closing zero is not added).
    std::uint16_t rawDatabase(const ByteVector& nameBytes);

    // Appends a record: [index LE16][length LE32][version][handle LE16][uid LE32][fields].
    IpdBuilder& record(std::uint16_t database, const ByteVector& fields, std::uint16_t handle = 1,
                       std::uint32_t uniqueId = 0, std::uint8_t version = 0);
    // A record body given whole (handle, unique id and fields), framed with index and length.
    IpdBuilder& body(std::uint16_t database, const ByteVector& body, std::uint8_t version = 0);
    IpdBuilder& filler(std::uint8_t fifth = 0, std::uint8_t sixth = 0);
    IpdBuilder& raw(const ByteVector& bytes);
    // Writes this count into the header instead of the number of entries.
    IpdBuilder& declaredCount(std::uint16_t count);

    ByteVector build() const;
    std::size_t recordCount() const { return records_; }

  private:
    ByteVector names_;
    ByteVector tail_;
    std::uint16_t entries_ = 0;
    int declared_ = -1;
    std::size_t records_ = 0;
};

}  // namespace orrelin
