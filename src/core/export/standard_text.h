#pragma once

// Text rules shared by the vCard and iCalendar writers.

#include <string>
#include <string_view>

namespace orrelin {

// Text fit for a content line value: well-formed UTF-8 (a byte that starts no valid sequence
// becomes U+FFFD), line breaks made LF (CR LF and a lone CR alike), and the control characters
// neither format allows (all below 0x20 but tab and LF, and DEL) removed.
std::string CleanText(std::string_view text);

// Appends one content line (without its line end) folded so that no physical line exceeds
// 75 octets, never inside a UTF-8 sequence: each continuation line starts with one blank.
// Every line ends with CR LF.
void AppendFoldedLine(std::string_view line, std::string& out);

}  // namespace orrelin
