#pragma once

// The handheld's 16-bit text: UTF-16 code units, high byte first. A lone last byte is read as
// a unit of its own.

#include <string>

#include "base/bytes.h"
#include "text/single_byte.h"

namespace orrelin {

// The units reduced to code page 1256, one character each ('?' where the page has none).
SingleByteText Utf16BeToText(Bytes units);

// The units as UTF-8: surrogate pairs combined, lone surrogates become U+FFFD; with
// `stripControls`, characters below 0x20 other than CR and LF are dropped.
std::string Utf16BeToUtf8(Bytes units, bool stripControls);

}  // namespace orrelin
