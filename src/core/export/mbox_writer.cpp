#include "export/mbox_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/bytes.h"

namespace orrelin {
namespace {

constexpr std::size_t kMaxLine = 998;           // bytes of a line, its end not counted
constexpr std::size_t kQpLine = 76;             // a quoted-printable line, "=" included
constexpr std::size_t kEncodedWordBytes = 39;   // text bytes in one encoded word (52 in base64)
constexpr std::size_t kPlainHeaderLimit = 900;  // longer header text goes into encoded words
constexpr std::array<std::string_view, 7> kWeekdays{"Thu", "Fri", "Sat", "Sun",
                                                    "Mon", "Tue", "Wed"};  // from 1970-01-01
constexpr std::array<std::string_view, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct Civil {
    std::int64_t year;
    unsigned month, day, hour, minute, second, weekday;
};

// The UTC calendar time of seconds since 1970 (days to a date after Howard Hinnant's method).
Civil CivilOf(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    Civil c{};
    c.hour = static_cast<unsigned>(rest / 3600);
    c.minute = static_cast<unsigned>(rest % 3600 / 60);
    c.second = static_cast<unsigned>(rest % 60);
    c.weekday = static_cast<unsigned>(((days % 7) + 7) % 7);
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<std::uint64_t>(z - era * 146097);
    const std::uint64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::uint64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::uint64_t mp = (5 * doy + 2) / 153;
    c.day = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
    c.month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
    c.year = static_cast<std::int64_t>(yoe) + era * 400 + (c.month <= 2 ? 1 : 0);
    return c;
}

void AppendTwo(std::string& out, unsigned n, char pad = '0') {
    out += n < 10 ? pad : static_cast<char>('0' + n / 10);
    out += static_cast<char>('0' + n % 10);
}

void AppendClock(std::string& out, const Civil& c) {
    AppendTwo(out, c.hour);
    out += ':';
    AppendTwo(out, c.minute);
    out += ':';
    AppendTwo(out, c.second);
}

class MessageWriter {
  public:
    MessageWriter(std::string& out, const MboxOptions& options)
        : out_(out), eol_(options.crlf ? "\r\n" : "\n") {}

    void write(const MailRecord& m);

  private:
    void fromLine(const MailRecord& m);
    void header(std::string_view name, std::string_view value) {
        out_ += name;
        out_ += ": ";
        out_ += value;
        out_ += eol_;
    }
    void textHeader(std::string_view name, std::string_view text);
    void addressHeader(std::string_view name, const MailAddress* first, std::size_t count);
    void mailbox(const MailAddress& a);
    void phrase(std::string_view text);
    void encodedWords(std::string_view text);
    void body(std::string_view text);
    void quotedPrintable(std::string_view text);

    std::string& out_;
    std::string_view eol_;
};

bool IsPlainAscii(std::string_view text) {
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c >= 0x7F) return false;
    }
    return true;
}

bool NeedsEncoding(std::string_view text) {
    return !IsPlainAscii(text) || text.find("=?") != std::string_view::npos ||
           text.size() > kPlainHeaderLimit;
}

// Header text on one line: line breaks and other controls become blanks. The text itself when
// it holds none, else a copy in `scratch`.
std::string_view OneLine(std::string_view text, std::string& scratch) {
    auto isControl = [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 0x20 || c == 0x7F;
    };
    std::size_t i = 0;
    while (i < text.size() && !isControl(text[i]))
        ++i;
    if (i == text.size()) return text;
    scratch.assign(text);
    for (char& ch : scratch) {
        if (isControl(ch)) ch = ' ';
    }
    return scratch;
}

// A mailbox address fit for the envelope: printable ASCII without blanks.
bool IsEnvelopeAddress(std::string_view address) {
    if (address.empty()) return false;
    for (char ch : address) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F) return false;
    }
    return true;
}

void MessageWriter::fromLine(const MailRecord& m) {
    out_ += "From ";
    if (IsEnvelopeAddress(m.from.address)) {
        out_ += m.from.address;
    } else if (IsEnvelopeAddress(m.sender.address)) {
        out_ += m.sender.address;
    } else {
        out_ += "MAILER-DAEMON";
    }
    if (!m.dateUtc) {
        out_ += " Thu Jan  1 00:00:00 1970";  // the time no time stands for
        out_ += eol_;
        return;
    }
    const Civil c = CivilOf(*m.dateUtc);
    out_ += ' ';
    out_ += kWeekdays[c.weekday];
    out_ += ' ';
    out_ += kMonths[c.month - 1];
    out_ += ' ';
    AppendTwo(out_, c.day, ' ');
    out_ += ' ';
    AppendClock(out_, c);
    out_ += ' ';
    out_ += std::to_string(c.year);
    out_ += eol_;
}

void MessageWriter::encodedWords(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t n = text.size() - at < kEncodedWordBytes ? text.size() - at : kEncodedWordBytes;
        // Never split a character: end before a continuation byte.
        while (n > 1 && at + n < text.size() &&
               (static_cast<unsigned char>(text[at + n]) & 0xC0) == 0x80)
            --n;
        if (at > 0) {
            out_ += eol_;
            out_ += ' ';
        }
        out_ += "=?utf-8?B?";
        AppendBase64(Bytes(reinterpret_cast<const std::uint8_t*>(text.data()) + at, n), out_);
        out_ += "?=";
        at += n;
    }
}

void MessageWriter::textHeader(std::string_view name, std::string_view text) {
    std::string scratch;
    const std::string_view line = OneLine(text, scratch);
    out_ += name;
    out_ += ": ";
    if (NeedsEncoding(line)) {
        encodedWords(line);
    } else {
        out_ += line;
    }
    out_ += eol_;
}

// A display name: a quoted string, or encoded words when it needs them.
void MessageWriter::phrase(std::string_view text) {
    std::string scratch;
    const std::string_view line = OneLine(text, scratch);
    if (NeedsEncoding(line)) {
        encodedWords(line);
        return;
    }
    out_ += '"';
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t special = std::min(line.find_first_of("\"\\", at), line.size());
        out_.append(line, at, special - at);
        if (special == line.size()) break;
        out_ += '\\';
        out_ += line[special];
        at = special + 1;
    }
    out_ += '"';
}

void MessageWriter::mailbox(const MailAddress& a) {
    if (a.address.empty()) {
        // A name without an address: a group of no members.
        phrase(a.name);
        out_ += ":;";
        return;
    }
    if (!a.name.empty()) {
        phrase(a.name);
        out_ += ' ';
    }
    out_ += '<';
    auto kept = [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c > 0x20 && c != 0x7F && ch != '<' && ch != '>';
    };
    if (std::all_of(a.address.begin(), a.address.end(), kept)) {
        out_ += a.address;
    } else {
        for (char ch : a.address) {
            if (kept(ch)) out_ += ch;
        }
    }
    out_ += '>';
}

void MessageWriter::addressHeader(std::string_view name, const MailAddress* first,
                                  std::size_t count) {
    bool any = false;
    for (std::size_t i = 0; i < count; ++i) {
        if (first[i].empty()) continue;
        if (!any) {
            out_ += name;
            out_ += ": ";
        } else {
            out_ += ',';
            out_ += eol_;
            out_ += ' ';
        }
        mailbox(first[i]);
        any = true;
    }
    if (any) out_ += eol_;
}

// The length of the line at `at` and of the break after it (0 at the end of the text).
std::pair<std::size_t, std::size_t> LineAt(std::string_view text, std::size_t at) {
    const char* start = text.data() + at;
    const std::size_t rest = text.size() - at;
    if (rest == 0) return {0, 0};
    const auto* lf = static_cast<const char*>(std::memchr(start, '\n', rest));
    const std::size_t upToLf = lf ? static_cast<std::size_t>(lf - start) : rest;
    const auto* cr = upToLf ? static_cast<const char*>(std::memchr(start, '\r', upToLf)) : nullptr;
    if (cr) {
        const auto length = static_cast<std::size_t>(cr - start);
        return {length, length + 1 < rest && cr[1] == '\n' ? 2 : 1};
    }
    return {upToLf, lf ? 1 : 0};
}

// Whether any byte of the text has its high bit set.
bool HoldsEightBit(std::string_view text) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t x;
        std::memcpy(&x, text.data() + i, sizeof x);
        if (x & kHighBits) return true;
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) return true;
    }
    return false;
}

bool IsFromLine(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == '>')
        ++i;
    return line.substr(i, 5) == "From ";
}

void MessageWriter::body(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        auto [length, brk] = LineAt(text, at);
        std::string_view line = text.substr(at, length);
        if (IsFromLine(line)) out_ += '>';
        out_ += line;
        out_ += eol_;
        at += length + brk;
    }
}

void MessageWriter::quotedPrintable(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        auto [length, brk] = LineAt(text, at);
        std::size_t column = 0;
        for (std::size_t i = 0; i < length; ++i) {
            const auto c = static_cast<unsigned char>(text[at + i]);
            const bool last = i + 1 == length;
            const bool opensLine = column == 0 && (c == '>' || c == 'F');
            const bool literal = !opensLine && ((c >= 33 && c <= 126 && c != '=') ||
                                                ((c == ' ' || c == '\t') && !last));
            const std::size_t width = literal ? 1 : 3;
            // Room is kept for the soft break's "=" unless this is the line's last character.
            if (column + width > (last ? kQpLine : kQpLine - 1)) {
                out_ += '=';
                out_ += eol_;
                column = 0;
                --i;  // the character is written again, now opening a line
                continue;
            }
            if (literal) {
                out_ += static_cast<char>(c);
            } else {
                out_ += '=';
                out_ += HexDigit(c >> 4);
                out_ += HexDigit(c);
            }
            column += width;
        }
        out_ += eol_;
        at += length + brk;
    }
}

void MessageWriter::write(const MailRecord& m) {
    fromLine(m);
    const MailAddress& from = !m.from.empty() ? m.from : m.sender;
    if (from.empty()) {
        header("From", "undisclosed-sender:;");
    } else {
        addressHeader("From", &from, 1);
    }
    if (!m.from.empty() && !m.sender.empty() && m.sender.address != m.from.address)
        addressHeader("Sender", &m.sender, 1);
    addressHeader("Reply-To", &m.replyTo, 1);
    addressHeader("To", m.to.data(), m.to.size());
    addressHeader("Cc", m.cc.data(), m.cc.size());
    addressHeader("Bcc", m.bcc.data(), m.bcc.size());
    if (!m.subject.empty()) textHeader("Subject", m.subject);
    if (m.dateUtc) {
        const Civil c = CivilOf(*m.dateUtc);
        out_ += "Date: ";
        out_ += kWeekdays[c.weekday];
        out_ += ", ";
        AppendTwo(out_, c.day);
        out_ += ' ';
        out_ += kMonths[c.month - 1];
        out_ += ' ';
        out_ += std::to_string(c.year);
        out_ += ' ';
        AppendClock(out_, c);
        out_ += " +0000";
        out_ += eol_;
    }
    if (m.messageId || m.uniqueId) {
        out_ += "Message-ID: <";
        if (!m.messageId) out_ += "uid-";
        out_ += std::to_string(m.messageId ? *m.messageId : *m.uniqueId);
        out_ += '@';
        out_ += kMboxMessageIdDomain;
        out_ += '>';
        out_ += eol_;
    }
    header("MIME-Version", "1.0");
    const bool html = m.plainBody.empty() && !m.htmlBody.empty();
    const std::string_view text = html ? m.htmlBody : m.plainBody;
    header("Content-Type", html ? "text/html; charset=utf-8" : "text/plain; charset=utf-8");

    const bool eightBit = HoldsEightBit(text);
    bool quoted = !text.empty() && std::memchr(text.data(), 0, text.size()) != nullptr;
    for (std::size_t at = 0; at < text.size() && !quoted;) {
        auto [length, brk] = LineAt(text, at);
        if (length > kMaxLine) quoted = true;
        at += length + brk;
    }
    header("Content-Transfer-Encoding", quoted ? "quoted-printable" : eightBit ? "8bit" : "7bit");
    out_ += eol_;
    if (quoted) {
        quotedPrintable(text);
    } else {
        body(text);
    }
    out_ += eol_;  // the empty line that closes the message
}

}  // namespace

void AppendMboxMessage(std::string& out, const MailRecord& message, const MboxOptions& options) {
    MessageWriter(out, options).write(message);
}

}  // namespace orrelin
