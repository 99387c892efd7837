#pragma once

// vCard 4.0 (RFC 6350) text of a contact.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "decoders/contact_decoder.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

// The picture of a contact record as the JPEG bytes stored in it (empty when it has none).
// Works for both address book layouts: the photo field is looked up among the record's own
// fields and, failing that, inside its first type-10 field.
std::vector<std::uint8_t> ContactPhotoBytes(const IpdImage& image, RecordSpan span);

// Appends one vCard 4.0 for a contact decoded with TextOptions{unicode = true}: UTF-8, CR LF
// line ends, values escaped, content lines folded at 75 octets without splitting a UTF-8
// sequence. Empty properties are left out; FN is always written. `photoJpeg` (may be empty)
// becomes an embedded PHOTO, `uid` (may be empty) the UID.
void AppendVCard(const ContactRecord& contact, std::span<const std::uint8_t> photoJpeg,
                 std::string_view uid, std::string& out);

// Building blocks, shared with the tests.

// Escapes a text value: backslash, comma, semicolon and line breaks (CR LF, CR or LF become
// "\n"). Commas are left alone when `escapeComma` is false.
std::string EscapeVCardText(std::string_view text, bool escapeComma = true);

// Folds one content line (without its CR LF) so that no physical line exceeds 75 octets, never
// inside a UTF-8 sequence; appends it with CR LF line ends to `out`.
void AppendFoldedLine(std::string_view line, std::string& out);

// Standard base64 (RFC 4648) with padding.
std::string Base64Encode(std::span<const std::uint8_t> bytes);

}  // namespace orrelin
