#pragma once

// Email records as an mbox file in the mboxrd form: each message opens with a "From " line and
// ends with an empty line; a body line that begins with any number of ">" and then "From " gets
// one more ">" in front, so a reader that removes one gets the line back.
//
// A message's headers: From (the sender when there is no From), Sender when it differs,
// Reply-To, To, Cc, Bcc, Subject, Date (only when the record's time is known), Message-ID (from
// the message id, else from the record's unique id), MIME-Version, Content-Type and
// Content-Transfer-Encoding. Header text beyond printable ASCII goes into RFC 2047 encoded
// words. The body is the plain one, else the HTML one as text/html, UTF-8 in either case:
// 7bit or 8bit when every line fits in 998 bytes and none holds a zero byte, else
// quoted-printable (where no written line begins with ">" or "From": those characters are
// encoded at the start of a line).
//
// The records' texts must be UTF-8: decode them with TextOptions::unicode set.

#include <string>

#include "decoders/mail_decoder.h"

namespace orrelin {

struct MboxOptions {
    bool crlf = false;  // lines end with CR LF instead of LF, headers and bodies alike
};

inline constexpr std::string_view kMboxMessageIdDomain = "orrelin.invalid";

// Appends one message.
void AppendMboxMessage(std::string& out, const MailRecord& message,
                       const MboxOptions& options = {});

}  // namespace orrelin
