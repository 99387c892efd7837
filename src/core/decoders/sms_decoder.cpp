#include "decoders/sms_decoder.h"

#include <cstring>

#include "decoders/field_tables.h"
#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "ipd/fields.h"

namespace orrelin {
namespace {

// The handheld's own time of the message (when it sent it, or when it received it) and the
// other side's (the service centre's time of a received message: when it was sent).
constexpr std::size_t kHandheldTimeOffset = 22;
constexpr std::size_t kOtherTimeOffset = 30;
constexpr std::size_t kTimeBytes = 6;
constexpr std::uint8_t kNumberField = FieldOf(kSmsFields, SmsRecord::Number).type;
constexpr std::uint8_t kTextField = FieldOf(kSmsFields, SmsRecord::Text).type;
// A message text whose first byte is this is 16-bit text (its first unit lies in U+06xx).
constexpr std::uint8_t kSixteenBitMark = 0x06;
// Where a message states its coding: byte 29 of the first field's data (body byte 38) and the
// first byte of the type-7 field; the value 2 there says UCS-2 (0 is 7-bit, 1 8-bit).
constexpr std::size_t kCodingByte = 38;
constexpr std::uint8_t kCodingField = 7;
constexpr std::uint8_t kUcs2Coding = 2;

bool StatedUcs2(Bytes body, Bytes fields) {
    if (body.size() > kCodingByte && body[kCodingByte] == kUcs2Coding) return true;
    Bytes coding = FindField(fields, kCodingField);
    return !coding.empty() && coding[0] == kUcs2Coding;
}

// A six-byte little-endian millisecond count; nothing when the record is too short to hold it.
std::optional<std::uint64_t> MessageMillis(Bytes body, std::size_t offset) {
    Bytes bytes = Slice(body, offset, kTimeBytes);
    if (bytes.size() < kTimeBytes) return std::nullopt;
    return LittleEndianValue(bytes);
}

std::string MessageTime(std::optional<std::uint64_t> millis, const DecodeContext& context) {
    if (!millis || !context.displayTimes) return {};
    return MillisToDate(static_cast<double>(*millis), context.timeZoneText, context.dateStyle);
}

std::optional<std::int64_t> Seconds(std::optional<std::uint64_t> millis) {
    if (!millis) return std::nullopt;
    return static_cast<std::int64_t>(*millis / 1000);  // a 48-bit count: always in range
}

// Whether a byte at an even offset is 0 (most 8-bit texts hold no 0 at all).
bool HasZeroHighByte(Bytes units) {
    if (std::memchr(units.data(), 0, units.size()) == nullptr) return false;
    for (std::size_t i = 0; i < units.size(); i += 2) {
        if (units[i] == 0) return true;
    }
    return false;
}

bool IsUtf16(Bytes units) {
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        const std::uint8_t high = units[i];
        if (high >= 0xD8 && high <= 0xDB) {  // a high surrogate needs a low one next
            if (i + 3 >= units.size() || units[i + 2] < 0xDC || units[i + 2] > 0xDF) return false;
            i += 2;
        } else if (high >= 0xDC && high <= 0xDF) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool SmsTextIsSixteenBit(Bytes text, const TextOptions& options) {
    if (text.empty()) return false;
    if (text[0] == kSixteenBitMark) return true;
    if (!options.unicode || text.size() % 2 != 0) return false;
    const std::uint8_t first = text[0];
    const bool controlFirst = first < 0x20 && first != '\t' && first != '\r' && first != '\n';
    if (!controlFirst && !HasZeroHighByte(text)) return false;
    return IsUtf16(text);
}

SmsRecord DecodeSms(const IpdImage& image, RecordSpan span, const DecodeContext& context) {
    return DecodeSms(image, span, context, true);
}

namespace {

SmsHead HeadOf(Bytes body) {
    SmsHead head;
    // Byte 9 is 0 for a message sent from the handheld (a record too short to hold it counts
    // as sent, as its tree icon does).
    head.sentByUser = body.size() <= kSmsDirectionByte || body[kSmsDirectionByte] == 0;
    const auto handheld = MessageMillis(body, kHandheldTimeOffset);
    const auto other = MessageMillis(body, kOtherTimeOffset);
    head.sentMillis = head.sentByUser ? handheld : other;
    head.receivedMillis = head.sentByUser ? other : handheld;
    head.number = FindField(Tail(body, kSmsFieldsOffset), kNumberField);
    return head;
}

}  // namespace

SmsHead ReadSmsHead(const IpdImage& image, RecordSpan span) {
    auto body = RecordBody(image, span);
    return body ? HeadOf(*body) : SmsHead{};
}

SmsRecord DecodeSms(const IpdImage& image, RecordSpan span, const DecodeContext& context,
                    bool withText) {
    SmsRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;

    const SmsHead head = HeadOf(*body);
    record.values[SmsRecord::Direction] = kSmsDirectionWords[head.sentByUser ? 0 : 1];
    record.values[SmsRecord::Folder] = kSmsFolderWords[head.sentByUser ? 0 : 1];
    const auto sent = head.sentMillis;
    const auto received = head.receivedMillis;
    record.values[SmsRecord::SentDate] = MessageTime(sent, context);
    record.values[SmsRecord::ReceivedDate] = MessageTime(received, context);
    record.sentUtc = Seconds(sent);
    record.receivedUtc = Seconds(received);
    record.sentMillis = sent;
    record.receivedMillis = received;

    Bytes fields = Tail(*body, kSmsFieldsOffset);
    record.values[SmsRecord::Number] = EightBitText(head.number, true, context.text);
    if (!withText) return record;
    Bytes text = FindField(fields, kTextField);
    if (!text.empty() && text[0] == kSixteenBitMark) {
        // The whole data are code units; nothing is removed from them.
        record.values[SmsRecord::Text] = Utf16Text(text, false, context.text);
    } else if (context.text.unicode && StatedUcs2(*body, fields)) {
        // The message says it is UCS-2: read as such in the Unicode form, without guessing.
        record.values[SmsRecord::Text] = Utf16Text(text, true, context.text);
    } else if (SmsTextIsSixteenBit(text, context.text)) {
        // Recognised in the Unicode form only; a trailing U+0000 and other controls go.
        record.values[SmsRecord::Text] = Utf16Text(text, true, context.text);
    } else {
        record.values[SmsRecord::Text] = EightBitText(text, true, context.text);
    }
    return record;
}

}  // namespace orrelin
