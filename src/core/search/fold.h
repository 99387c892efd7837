#pragma once

// The form texts are compared in when searching: case, accents and Arabic vowel marks set
// aside, so that "ecole" finds "École" and "محمد" finds "مُحَمَّد".

#include <string>
#include <string_view>

#include "text/phone_chars.h"

namespace orrelin {

// Appends the searchable form of UTF-8 text: letters in lower case and without their accents
// (combining marks dropped, accented Latin, Greek and Cyrillic letters given as their base
// letter), Arabic tashkeel (U+064B..U+0652) and tatweel (U+0640) dropped, Arabic-Indic digits
// as ASCII digits, no-break and thin spaces as spaces, dashes and the minus sign as '-'. NUL
// bytes are dropped (the index separates its texts with them); bytes that are not UTF-8 pass
// unchanged.
void AppendFolded(std::string& out, std::string_view utf8);
std::string Folded(std::string_view utf8);
// The same into `out`, which has room for utf8.size() bytes (the folded form is never longer);
// returns the end of what was written.
char* FoldInto(char* out, std::string_view utf8);
// The same, telling whether the folded text holds a digit.
char* FoldInto(char* out, std::string_view utf8, bool& digits);

// The digits of a folded query written like a phone number ("+1 (555) 010-4477" gives
// "15550104477"); empty when the query holds anything but digits and phone punctuation, or
// no digit.
std::string PhoneDigits(std::string_view folded);

// Appends, for each stretch of `folded` made of digits and phone punctuation in which
// punctuation stands between two digits, the stretch's digits followed by `separator`: the
// forms in which a number typed without punctuation is found.
void AppendPhoneDigitRuns(std::string& out, std::string_view folded, char separator);
// The same into `out`, which has room for folded.size() bytes and does not overlap `folded`;
// returns the end of what was written.
char* PutPhoneDigitRuns(char* out, std::string_view folded, char separator);

}  // namespace orrelin
