#pragma once

// The framing of a record (ipd_format.h) read and written: [database index LE16][length LE32]
// before the version, handle, unique id and fields, and the filler block that may stand between
// two records. The loader, the archive reader and builder, split, merge, the service book saves
// and the generator frame records through here, into any byte container (a std::string or a
// ByteVector).

#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/little_endian.h"
#include "ipd/byte_reader.h"
#include "ipd/ipd_format.h"

namespace orrelin {

// A record's database index and length: the bytes in front of its version.
inline constexpr std::size_t kRecordHeaderSize = kRecordVersionAt;
// The filler: FF FF 02 00 00 or FF FF 02 00 01, then a sixth byte of any value.
inline constexpr std::size_t kFillerSize = 6;

struct RecordHeader {
    std::uint16_t database = 0;
    std::uint32_t length = 0;  // the bytes after the length field, from the version on

    // The record's bytes from its database index to its last one.
    std::uint64_t size() const { return kRecordHeaderSize + std::uint64_t{length}; }
};

// The header of the record whose first byte is at `at`; nothing when its six bytes are not all
// there.
inline std::optional<RecordHeader> ReadRecordHeader(Bytes bytes, std::uint64_t at) {
    if (at > bytes.size() || bytes.size() - at < kRecordHeaderSize) return std::nullopt;
    ByteReader reader(bytes, static_cast<std::size_t>(at));
    return RecordHeader{*reader.le16(), *reader.le32()};
}

// Whether `bytes` begin with the five bytes that open a filler.
inline bool IsFiller(Bytes bytes) {
    return bytes.size() >= 5 && bytes[0] == 0xFF && bytes[1] == 0xFF && bytes[2] == 0x02 &&
           bytes[3] == 0x00 && bytes[4] <= 0x01;
}

// Appends the header of a record whose bytes from its version on number `length`.
template <typename Out>
void AppendRecordHeader(Out& out, std::uint16_t database, std::uint32_t length) {
    AppendLe16(out, database);
    AppendLe32(out, length);
}

// Appends a record given as its body (handle, unique id and fields) behind its header and
// version.
template <typename Out, typename Body>
void AppendRecordBody(Out& out, std::uint16_t database, std::uint8_t version, const Body& body) {
    using Byte = typename Out::value_type;
    AppendRecordHeader(out, database, static_cast<std::uint32_t>(body.size() + 1));
    out.push_back(static_cast<Byte>(version));
    out.insert(out.end(), body.begin(), body.end());
}

// Appends a record of fields behind its header, version, handle and unique id.
template <typename Out, typename Fields>
void AppendRecord(Out& out, std::uint16_t database, std::uint8_t version, std::uint16_t handle,
                  std::uint32_t uniqueId, const Fields& fields) {
    using Byte = typename Out::value_type;
    AppendRecordHeader(
        out, database,
        static_cast<std::uint32_t>(kRecordFieldsAt - kRecordVersionAt + fields.size()));
    out.push_back(static_cast<Byte>(version));
    AppendLe16(out, handle);
    AppendLe32(out, uniqueId);
    out.insert(out.end(), fields.begin(), fields.end());
}

// The bytes that put a record of another file into database `database`: its new index, which
// the source record follows from its length field on (RecordSpan::lengthStart()).
template <typename Out>
void AppendRecordIndex(Out& out, std::uint16_t database) {
    AppendLe16(out, database);
}

// Moves the record whose first byte is `out[at]` into database `database`.
template <typename Out>
void SetRecordDatabase(Out& out, std::size_t at, std::uint16_t database) {
    using Byte = typename Out::value_type;
    out[at] = static_cast<Byte>(database & 0xFF);
    out[at + 1] = static_cast<Byte>(database >> 8);
}

// Gives the record whose first byte is `out[at]` a new handle, when its bytes reach that far.
template <typename Out>
void SetRecordHandle(Out& out, std::size_t at, std::uint16_t handle) {
    using Byte = typename Out::value_type;
    if (out.size() - at < kRecordHandleAt + 2) return;
    out[at + kRecordHandleAt] = static_cast<Byte>(handle & 0xFF);
    out[at + kRecordHandleAt + 1] = static_cast<Byte>(handle >> 8);
}

template <typename Out>
void AppendFiller(Out& out, std::uint8_t fifth = 0, std::uint8_t sixth = 0) {
    using Byte = typename Out::value_type;
    for (std::uint8_t byte : {std::uint8_t{0xFF}, std::uint8_t{0xFF}, std::uint8_t{0x02},
                              std::uint8_t{0x00}, fifth, sixth})
        out.push_back(static_cast<Byte>(byte));
}

}  // namespace orrelin
