#pragma once

// Turning the 22 edited values of a service book entry back into a record.
//
// The source record (`code`) is the whole record from its database index:
//   [database index LE16][length LE32][version][handle LE16][unique id 4][fields]
// The rebuilt record keeps version, handle and unique id, carries a few source fields over as
// they are and writes the others from the texts:
//   01 02 17 05 (source) 03 name+00, 07 UID, 08 CID, 06 User ID, 0F description+00,
//   09 configuration block, 10 11 12 18 (source), 16 network block
// with database index 00 00 and a length that counts version, handle, unique id and fields.
//
// Texts are single-byte text (one character per byte). A value that cannot be stored as typed
// is refused with a message naming its field; nothing is cut or rounded silently.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "decoders/servicebook_decoder.h"
#include "ipd/byte_reader.h"
#include "ipd/fields.h"
#include "text/single_byte.h"

namespace orrelin {

// The message shown when the name, UID or CID is empty.
inline constexpr std::string_view kServiceBookBlankMessage =
    "Service-book name, UID, CID, UserID cannot be blank";

// Why the values cannot be saved. `Blank` is shown as an error, `Invalid` as a warning.
struct EditRefusal {
    enum class Kind { Blank, Invalid };
    Kind kind = Kind::Invalid;
    std::size_t field = 0;  // index (0 to 21) of the value to correct
    std::string message;
    friend bool operator==(const EditRefusal&, const EditRefusal&) = default;
};

// Either the bytes that were built or the reason they could not be.
using BuildResult = std::variant<ByteVector, EditRefusal>;

// The field's name as the editor labels it ("Gateway" for value 14, the web tab's "Name" and
// "Description" marked as such).
std::string ServiceBookFieldName(std::size_t field);

// The refusal for a value that holds a character without a single-byte code.
EditRefusal NoSingleByteCode(std::size_t field);

// [length LE16][type][text bytes][00 when withNul]; nothing when the data exceed 65535 bytes.
std::optional<ByteVector> BuildTextField(std::string_view text, std::uint8_t type, bool withNul);

// The configuration block from values 11 to 16: header 02 00, then per value
// [characters + 1][item type][text][00] with items 01 03 04 09 0A 0B, one 00 between items.
BuildResult BuildConfigBlock(const ServiceBookFields& values);

// The network block from values 0 to 10, a run of fields: 0A wireless network, 09 network
// name + 00, 06 provider code (LE32), 03 APN, 12 QoS (5 bytes), 10 gateway IP (4 bytes),
// 11 ports (two BE16; the address and the ports as far as their values are given from the first
// on). Empty when no value is given.
BuildResult BuildNetworkBlock(const ServiceBookFields& values);

// The rebuilt record (from its database index on) for the source record `code` and the 22
// values, or the refusal of the first value that cannot be stored.
BuildResult BuildServiceBookRecord(Bytes code, const ServiceBookFields& values);

}  // namespace orrelin
