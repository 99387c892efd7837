#pragma once

// Field runs of the records the generator writes, shaped as the handheld stores them. Both the
// bundled sample and the large benchmark backups are made from these.

#include <array>
#include <cstdint>
#include <string_view>

#include "ipd/ipd_builder.h"

namespace orrelin::ipdgen {

// Database version bytes as the handheld writes them; readers copy them and never look.
inline constexpr std::uint8_t kSmsVersion = 5;
inline constexpr std::uint8_t kContactVersion = 6;
inline constexpr std::uint8_t kCalendarVersion = 3;
inline constexpr std::uint8_t kTaskVersion = 1;
inline constexpr std::uint8_t kMemoVersion = 1;
inline constexpr std::uint8_t kCallVersion = 4;
inline constexpr std::uint8_t kServiceBookVersion = 2;

// UTF-16 code units high byte first, with no leading byte (the form of a 16-bit message text).
ByteVector Utf16Be(std::u16string_view text);

// A message. The record's fields begin with a fixed part that readers take at fixed body
// offsets: a type-1 field whose data (body bytes 9-54) start with the direction byte (0 sent,
// 1 received) and hold `sentMs` at body bytes 22-27 and `receivedMs` at 30-35, each a 6-byte
// little-endian count of milliseconds since 1970 (readers take bytes 22-27 of a received message
// as its receive time: the generated received messages keep their bytes as they always were); then
// a type-9 and a type-11 field (body bytes 55-72). From body byte 73 come the number (type 2: four
// zero bytes, the digits, a closing zero) and the text (type 4), then a type-7 field of flags.
ByteVector SmsFields(bool sent, std::uint64_t sentMs, std::uint64_t receivedMs,
                     std::string_view number, const ByteVector& textData);

// A call: direction (type 2: 0 received, 1 placed, 2 missed), duration in seconds (type 3),
// time as an 8-byte millisecond count (type 4), status (type 6), number (type 12) and, when
// not empty, the name (type 31). The 16-bit name (type 159) is added by the caller.
FieldList CallFields(std::uint32_t direction, std::uint32_t seconds, std::uint64_t timeMs,
                     std::uint32_t status, std::string_view number, std::string_view name);

// The six values of a service book entry's configuration block, in the order home page, data
// source, data source UID, gateway, name, description.
using ConfigValues = std::array<std::string_view, 6>;

// Layout A: header 02 00, then per value [length = characters + 1][item type][text][00], with
// one 00 between items. Item types 1, 3, 4, 9, 10, 11.
ByteVector ConfigLayoutA(const ConfigValues& values);

// Layout B: header 01, then per non-empty value [item type][length][text]. Item types 1, 8, 6,
// 7, 3, 2.
ByteVector ConfigLayoutB(const ConfigValues& values);

// The "- All" forms of contacts and appointments hold all their fields in one type-10 field;
// an appointment's starts with 4 bytes before the fields (`lead`).
ByteVector Wrapped(const ByteVector& fields, const ByteVector& lead = {});

// A record unique id that looks like the handheld's and depends only on its arguments.
std::uint32_t UniqueId(std::uint32_t database, std::uint64_t n);

}  // namespace orrelin::ipdgen
