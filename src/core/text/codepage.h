#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "text/utf8.h"

namespace orrelin {

// Windows code pages the program meets: 1256 (Arabic) is how the handheld's 16-bit text is
// reduced to one byte per character and how every single-byte text is shown; 1252 is the
// Western page used where full Unicode output asks for a reading of 8-bit fields, and 1251
// (Cyrillic), 1250 (Central European) and 1253 (Greek) are the other readings a user may ask
// for there.
enum class CodePage { Cp1256, Cp1252, Cp1251, Cp1250, Cp1253 };

// The pages by their number, as the user names them.
inline constexpr std::array<std::pair<std::string_view, CodePage>, 5> kCodePageNames{{
    {"1252", CodePage::Cp1252},
    {"1251", CodePage::Cp1251},
    {"1250", CodePage::Cp1250},
    {"1253", CodePage::Cp1253},
    {"1256", CodePage::Cp1256},
}};

// The numbers of kCodePageNames in their order, joined by ", " and the last by `lastJoin`;
// `firstNote` follows the first ("1252 (the default), 1251, ... or 1256").
std::string CodePageNumbers(std::string_view lastJoin, std::string_view firstNote = {});

// The page a name stands for: its number alone or behind "cp" or "windows-", in any case
// ("1251", "cp1251", "Windows-1251"); nothing for a page the program does not know.
std::optional<CodePage> CodePageByName(std::string_view name);

// The Unicode code point of byte b in the code page.
char32_t CodePageToUnicode(CodePage page, std::uint8_t b);

// The byte of code point u in code page 1256; nothing when the page has no such character.
std::optional<std::uint8_t> Cp1256Byte(char32_t u);
// The same with '?' standing for a character the page lacks.
std::uint8_t UnicodeToCp1256(char32_t u);

// UTF-8 text as single-byte text through code page 1256; nothing when the text is no
// well-formed UTF-8 or holds a character without a code there.
std::optional<std::string> Utf8ToCp1256(std::string_view utf8);

// Single-byte text shown as UTF-8 through the code page.
std::string SingleByteToUtf8(std::string_view text, CodePage page = CodePage::Cp1256);

}  // namespace orrelin
