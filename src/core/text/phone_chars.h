#pragma once

// The characters a phone number is written with: its digits, the '+' that may open it, and the
// punctuation people put between the digits. Searching and matching numbers to contacts both
// read numbers by these rules.

namespace orrelin {

constexpr bool IsPhoneDigit(char c) {
    return c >= '0' && c <= '9';
}

// Space, '-', '.', '(' and ')': what stands between the digits of a number as it is written.
constexpr bool IsPhoneSeparator(char c) {
    return c == ' ' || c == '-' || c == '.' || c == '(' || c == ')';
}

// Whether c may stand between the digits of a number someone types: a separator or '+'.
constexpr bool IsPhonePunctuation(char c) {
    return IsPhoneSeparator(c) || c == '+';
}

// Whether c is passed over when a stored number is read for its digits: a separator, a tab or
// a square bracket ('+' counts only at the start and is read on its own).
constexpr bool IsSkippedInNumber(char c) {
    return IsPhoneSeparator(c) || c == '\t' || c == '[' || c == ']';
}

}  // namespace orrelin
