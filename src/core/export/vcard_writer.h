#pragma once

// vCard 4.0 (RFC 6350) and 3.0 (RFC 2426) text of a contact.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "decoders/contact_decoder.h"

namespace orrelin {

// Appends one vCard 4.0 for a contact decoded with TextOptions{unicode = true}: UTF-8, CR LF
// line ends, values escaped, content lines folded at 75 octets without splitting a UTF-8
// sequence. Empty properties are left out; FN is always written. `photoJpeg` (may be empty)
// becomes an embedded PHOTO, `uid` (may be empty) the UID. The Facebook name and the PIN,
// which vCard has no property for, go to X-SOCIALPROFILE;TYPE=facebook and X-BLACKBERRY-PIN.
void AppendVCard(const ContactRecord& contact, std::span<const std::uint8_t> photoJpeg,
                 std::string_view uid, std::string& out);

// The same contact as one vCard 3.0 (RFC 2426), the form most importers read: EMAIL with
// TYPE=INTERNET, upper-case TEL and ADR types, dates as YYYY-MM-DD (a birthday that reads as
// no date goes to X-BLACKBERRY-BIRTHDAY as text), the anniversary as X-ANNIVERSARY and the
// photo as PHOTO;ENCODING=b;TYPE=JPEG.
void AppendVCard3(const ContactRecord& contact, std::span<const std::uint8_t> photoJpeg,
                  std::string_view uid, std::string& out);

// The contact's display name as FN has it: the person's name, else the company, the email
// address or the first telephone number.
std::string FormattedContactName(const ContactRecord& contact);
// A birthday or anniversary text as "YYYY-MM-DD" when VCardDate reads it as a date.
std::optional<std::string> ContactDate(std::string_view text);

// Building blocks, shared with the tests.

// Escapes a text value or component: backslash, comma, semicolon and line breaks (CR LF, CR or
// LF become "\n").
std::string EscapeVCardText(std::string_view text);

// A birthday or anniversary text as a vCard date, "YYYYMMDD", when it reads as one date
// without doubt: ISO forms (1975-03-14, 19750314), forms with an English month name
// (March 14, 1975; 14 Mar 1975) and day/month/year numbers whose order the values settle
// (25/12/1975, 12/25/1975, 5/5/1975). Nothing otherwise.
std::optional<std::string> VCardDate(std::string_view text);

}  // namespace orrelin
