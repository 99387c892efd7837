#pragma once

// Turning field data into text, in the form the DecodeContext asks for.

#include <cstdint>
#include <string>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/byte_reader.h"

namespace orrelin {

// 8-bit text: one character per byte; control characters other than CR and LF removed when
// `strip` is set.
std::string EightBitText(Bytes data, bool strip, const TextOptions& options);

// UTF-16 code units high byte first, all of `units` (a lone last byte is a unit of its own);
// control characters other than CR and LF removed when `strip` is set.
std::string Utf16Text(Bytes units, bool strip, const TextOptions& options);

// 16-bit text: the data's first byte is skipped, then UTF-16 code units high byte first;
// control characters other than CR and LF are removed. With options.wideMayBeUtf8, data that
// IsZeroThenUtf8 is read as that UTF-8 instead.
std::string SixteenBitText(Bytes data, const TextOptions& options);

// Whether 16-bit field data is a zero byte followed by UTF-8 (as contacts saved by Desktop
// Software 7 in .bbb archives store their texts) rather than UTF-16. Ignoring zero bytes at its
// end, what follows the zero byte must be non-empty, well-formed UTF-8 and hold no byte below
// 0x20 but tab, LF and CR. UTF-16 text of Latin, Greek, Cyrillic, Hebrew or Arabic script always
// holds such a byte (the high byte of every unit from U+0000 to U+1FFF), and most text of other
// scripts is no well-formed UTF-8 when read byte by byte.
bool IsZeroThenUtf8(Bytes data);

// The UTF-8 of such data in the requested form (single-byte text through code page 1256 or
// UTF-8), zero bytes at its end dropped, control characters other than CR and LF removed.
std::string ZeroThenUtf8Text(Bytes data, const TextOptions& options);

// A value stored as an 8-bit field of type t or a 16-bit field of type t + 128: the 16-bit
// one when it has data, else the 8-bit one (stripped when `stripEightBit`).
std::string TextField(Bytes fields, std::uint8_t t, bool stripEightBit, const TextOptions& options);

// The same for a pair whose 16-bit type is not t + 128 (an appointment's location and notes).
std::string TextFieldPair(Bytes fields, std::uint8_t eightBitType, std::uint8_t sixteenBitType,
                          bool stripEightBit, const TextOptions& options);

// The value a table row reads from its 8-bit field and the 16-bit field standing for it.
inline std::string TextField(Bytes fields, const FieldRow& field, bool stripEightBit,
                             const TextOptions& options) {
    return TextFieldPair(fields, field.type, field.wideType, stripEightBit, options);
}

}  // namespace orrelin
