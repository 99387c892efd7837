#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orrelin {

// The length of the well-formed UTF-8 sequence at the start of `s` (1 for an ASCII byte), or 0
// when none starts there (RFC 3629: no overlong forms, no surrogates, nothing past U+10FFFF, no
// sequence cut short by the end of `s`).
std::size_t Utf8SequenceLength(std::string_view s);

// The code point of the well-formed sequence at the start of `s` and its length in bytes;
// nothing where Utf8SequenceLength finds none.
struct Utf8Char {
    char32_t code = 0;
    std::size_t length = 0;
};
std::optional<Utf8Char> DecodeUtf8(std::string_view s);

// Appends code point u to out as UTF-8 (surrogates and out-of-range values as U+FFFD).
void AppendUtf8(std::string& out, char32_t u);

}  // namespace orrelin
