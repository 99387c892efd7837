#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orrelin {

// Windows code pages the program meets: 1256 (Arabic) is how the handheld's 16-bit text is
// reduced to one byte per character and how every single-byte text is shown; 1252 is the
// Western page used where full Unicode output asks for a reading of 8-bit fields.
enum class CodePage { Cp1256, Cp1252 };

// The Unicode code point of byte b in the code page.
char32_t CodePageToUnicode(CodePage page, std::uint8_t b);

// The byte of code point u in code page 1256, or '?' when the page has no such character.
std::uint8_t UnicodeToCp1256(char32_t u);

// Appends code point u to out as UTF-8 (surrogates and out-of-range values as U+FFFD).
void AppendUtf8(std::string& out, char32_t u);

// Single-byte text shown as UTF-8 through the code page.
std::string SingleByteToUtf8(std::string_view text, CodePage page = CodePage::Cp1256);

}  // namespace orrelin
