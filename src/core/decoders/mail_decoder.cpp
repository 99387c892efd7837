#include "decoders/mail_decoder.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "decoders/record_fields.h"
#include "decoders/text_field.h"

namespace orrelin {
namespace {

// The part of `data` before its first zero byte (all of it when it holds none).
Bytes UpToZero(Bytes data) {
    if (data.empty()) return data;
    const void* zero = std::memchr(data.data(), 0, data.size());
    return zero ? data.first(static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) -
                                                      data.data()))
                : data;
}

// Text of an 8-bit field, or of its 16-bit form (type + 128) when the record has that.
std::string MailText(Bytes data, Bytes wide, bool cutAtZero, const TextOptions& options) {
    if (!wide.empty()) return SixteenBitText(wide, options);
    return EightBitText(cutAtZero ? UpToZero(data) : data, true, options);
}

bool StartsWithNoCase(Bytes data, std::size_t at, std::string_view word) {
    if (at > data.size() || data.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        auto c = static_cast<char>(data[at + i]);
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<std::size_t> HtmlBodyStart(Bytes data) {
    for (std::size_t at = kMailHtmlMinOffset; at < data.size(); ++at) {
        if (data[at] != '<') continue;
        if (StartsWithNoCase(data, at, "<html") || StartsWithNoCase(data, at, "<!doctype"))
            return at;
    }
    for (std::size_t at = kMailHtmlUsualOffset; at < data.size(); ++at) {
        if (data[at] == '<') return at;
    }
    return std::nullopt;
}

MailAddress DecodeMailAddress(Bytes data, const TextOptions& options) {
    ByteReader r(data);
    r.skip(kMailAddressLead);
    Bytes rest = r.rest();
    Bytes name = UpToZero(rest);
    Bytes address = UpToZero(Tail(rest, name.size() + 1));
    return {EightBitText(name, true, options), EightBitText(address, true, options)};
}

MailRecord DecodeMail(const IpdImage& image, RecordSpan span, const DecodeContext& context) {
    MailRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;
    if (auto uid = ByteReader(*body, 2).le32()) record.uniqueId = uid;
    const TextOptions& text = context.text;

    Bytes subject, subjectWide, plain, plainWide;
    // One walk over the fields: addresses and attachments may repeat, the rest count once.
    ByteReader r(RecordFields(*body));
    while (r.remaining() >= 3) {
        const std::uint16_t length = *r.le16();
        const std::uint8_t type = *r.u8();
        const bool last = length >= r.remaining();
        Bytes data = r.take(length);
        switch (type) {
            case kMailTo:
                record.to.push_back(DecodeMailAddress(data, text));
                break;
            case kMailCc:
                record.cc.push_back(DecodeMailAddress(data, text));
                break;
            case kMailBcc:
                record.bcc.push_back(DecodeMailAddress(data, text));
                break;
            case kMailSender:
                if (record.sender.empty()) record.sender = DecodeMailAddress(data, text);
                break;
            case kMailFrom:
                if (record.from.empty()) record.from = DecodeMailAddress(data, text);
                break;
            case kMailReplyTo:
                if (record.replyTo.empty()) record.replyTo = DecodeMailAddress(data, text);
                break;
            case kMailSubject:
                if (subject.empty()) subject = data;
                break;
            case kMailSubjectWide:
                if (subjectWide.empty()) subjectWide = data;
                break;
            case kMailPlainBody:
                if (plain.empty()) plain = data;
                break;
            case kMailPlainBodyWide:
                if (plainWide.empty()) plainWide = data;
                break;
            case kMailReplyMark:
                record.isReply = true;
                break;
            case kMailAttachmentRef:
                ++record.attachmentReferences;
                break;
            case kMailAttachmentData:
                record.attachmentBytes += data.size();
                break;
            case kMailHtmlBody:
                if (record.htmlBody.empty()) {
                    if (auto start = HtmlBodyStart(data))
                        record.htmlBody = EightBitText(UpToZero(Tail(data, *start)), true, text);
                }
                break;
            case kMailMessageId:
                if (!record.messageId) record.messageId = ByteReader(data).le32();
                break;
            default:
                break;
        }
        if (last) break;
    }
    record.subject = MailText(subject, subjectWide, true, text);
    record.plainBody = MailText(plain, plainWide, false, text);
    return record;
}

}  // namespace orrelin
