#pragma once

// Single-byte text: each character stands for one byte (codes 0 to 255), shown through code
// page 1256. Every label, tree text and service book value the program keeps is of this form.

#include <string>
#include <string_view>

#include "base/bytes.h"

namespace orrelin {

using SingleByteText = std::string;

// Bytes as characters of the same codes.
SingleByteText BytesToText(Bytes bytes);

// Drops every character below 0x20, keeping CR and LF when asked.
SingleByteText StripControlChars(std::string_view text, bool keepLineBreaks);

// StripControlChars(BytesToText(bytes), keepLineBreaks) in one pass.
SingleByteText BytesToStrippedText(Bytes bytes, bool keepLineBreaks);

}  // namespace orrelin
