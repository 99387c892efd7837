#pragma once

// Records stated as hex text (two uppercase digits per byte, positions counted from 1), with the
// exact rules of that text form, odd lengths included. The program works on bytes; the tests and
// the fuzz exercise hold its byte routines against these, which must give the same answers for
// the even, well-formed hex text that a record's bytes make.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/single_byte.h"

namespace orrelin {

// The last 8 digits of h (the empty text is 0) read as a two's complement 32-bit number;
// nothing when a character is no hex digit.
std::optional<std::int32_t> HexToLong(std::string_view h);

// Uppercase hex of n, with a "0" in front of 1- and 3-digit forms.
std::string NumberToEvenHex(std::uint64_t n);

// Exactly two digits: the low byte of n.
std::string ByteToHex(std::int64_t n);

// The value of 1 to 4 hex digits as two bytes, low byte first; empty for other lengths.
std::string WordToLeHex(std::string_view h);

// Groups of two characters from the start, joined in reverse order (a lone last character
// is a group of its own).
std::string ReverseHexBytes(std::string_view h);

// One character per group of two digits, its code the group's value.
SingleByteText HexToText(std::string_view h);

// One byte per group of two digits; nothing when a group is no hex number.
std::optional<std::vector<std::uint8_t>> HexToBytes(std::string_view h);

// Two uppercase digits per character (its single-byte code); the inverse of HexToText.
std::string TextToHex(std::string_view text);

// Groups of four digits read as UTF-16 code units and reduced to code page 1256, one
// character each ('?' where the page has none).
SingleByteText UnicodeHexToText(std::string_view h);

// The data of the first field of `type` in a run of fields stated as hex text; in mode 2 the
// data of the field directly after it when that one has the same type. Empty when absent.
std::string FindFieldHex(std::string_view fields, int type, int mode);

}  // namespace orrelin
