#pragma once

// Email and PIN messages: "Messages", "PIN Messages" and "Saved Email Messages" share one
// field layout.
//
// Fields: 1 To, 2 Cc, 3 Bcc (each may repeat), 4 Sender, 5 From, 6 Reply-To: 8 bytes of unknown
// meaning, then the name, a zero byte, the address, a zero byte. 11 the subject (closed by a
// zero byte), 12 the plain body, 18 present on replies, 22 an attachment reference (may
// repeat), 24 the HTML body behind other data (see HtmlBodyStart), 25 attachment data, 75 the
// message id (32-bit little-endian). The records hold no date that is understood.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/byte_reader.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

struct MailAddress {
    std::string name;
    std::string address;
    bool empty() const { return name.empty() && address.empty(); }
};

struct MailRecord {
    std::vector<MailAddress> to;
    std::vector<MailAddress> cc;
    std::vector<MailAddress> bcc;
    MailAddress sender;
    MailAddress from;
    MailAddress replyTo;
    std::string subject;
    std::string plainBody;
    std::string htmlBody;
    bool isReply = false;
    std::size_t attachmentReferences = 0;  // type-22 fields
    std::size_t attachmentBytes = 0;       // data of the type-25 fields together
    std::optional<std::uint32_t> messageId;
    std::optional<std::uint32_t> uniqueId;  // the record's own, from its body
    // The time the message was sent, in seconds since 1970 UTC; nothing while no field is known
    // to hold it.
    std::optional<std::int64_t> dateUtc;
};

// Field types of the layout.
inline constexpr std::uint8_t kMailTo = 1;
inline constexpr std::uint8_t kMailCc = 2;
inline constexpr std::uint8_t kMailBcc = 3;
inline constexpr std::uint8_t kMailSender = 4;
inline constexpr std::uint8_t kMailFrom = 5;
inline constexpr std::uint8_t kMailReplyTo = 6;
inline constexpr std::uint8_t kMailSubject = FieldOf(kMailFields, 5).type;
inline constexpr std::uint8_t kMailSubjectWide = FieldOf(kMailFields, 5).wideType;
inline constexpr std::uint8_t kMailPlainBody = FieldOf(kMailFields, 8).type;
inline constexpr std::uint8_t kMailPlainBodyWide = FieldOf(kMailFields, 8).wideType;
inline constexpr std::uint8_t kMailReplyMark = 18;
inline constexpr std::uint8_t kMailAttachmentRef = 22;
inline constexpr std::uint8_t kMailHtmlBody = 24;
inline constexpr std::uint8_t kMailAttachmentData = 25;
inline constexpr std::uint8_t kMailMessageId = 75;
// The bytes of unknown meaning in front of an address field's name.
inline constexpr std::size_t kMailAddressLead = 8;
// The HTML body is searched for from here on: the data before it (about 97 bytes) are not HTML.
inline constexpr std::size_t kMailHtmlMinOffset = 64;
inline constexpr std::size_t kMailHtmlUsualOffset = 97;

// Where the HTML in a type-24 field's data begins: the first "<html" or "<!doctype" (in any
// case) at or after kMailHtmlMinOffset; without one, the first "<" at or after
// kMailHtmlUsualOffset (a fragment with no document element); nothing when there is no "<"
// there either.
std::optional<std::size_t> HtmlBodyStart(Bytes data);

// An address field's data: the name and the address behind the unknown lead bytes. A field cut
// short gives the part it holds.
MailAddress DecodeMailAddress(Bytes data, const TextOptions& options);

MailRecord DecodeMail(const IpdImage& image, RecordSpan span, const DecodeContext& context);

}  // namespace orrelin
