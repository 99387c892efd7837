#include "decoders/sms_decoder.h"

#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "ipd/hex.h"

namespace orrelin {
namespace {

constexpr std::size_t kDirectionByte = 9;
constexpr std::size_t kSentTimeOffset = 22;
constexpr std::size_t kReceivedTimeOffset = 30;
constexpr std::size_t kTimeBytes = 6;
constexpr std::size_t kFurtherFieldsOffset = 73;
constexpr std::uint8_t kNumberField = 2;
constexpr std::uint8_t kTextField = 4;
// A message text whose first byte is this is 16-bit text (its first unit lies in U+06xx).
constexpr std::uint8_t kSixteenBitMark = 0x06;

// A six-byte little-endian millisecond count; the empty text when the record is too short to
// hold it.
std::string MessageTime(Bytes body, std::size_t offset, const DecodeContext& context) {
    Bytes bytes = Slice(body, offset, kTimeBytes);
    if (bytes.size() < kTimeBytes) return {};
    return MillisToDate(static_cast<double>(LittleEndianValue(bytes)), context.timeZoneText,
                        context.dateStyle);
}

}  // namespace

SmsRecord DecodeSms(const IpdImage& image, RecordSpan span, const DecodeContext& context) {
    SmsRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;

    // Byte 9 is 0 for a message sent from the handheld (a record too short to hold it counts
    // as sent, as its tree icon does).
    const bool sent = body->size() <= kDirectionByte || (*body)[kDirectionByte] == 0;
    record.values[SmsRecord::Direction] = kSmsDirectionWords[sent ? 0 : 1];
    record.values[SmsRecord::Folder] = kSmsFolderWords[sent ? 0 : 1];
    record.values[SmsRecord::SentDate] = MessageTime(*body, kSentTimeOffset, context);
    record.values[SmsRecord::ReceivedDate] = MessageTime(*body, kReceivedTimeOffset, context);

    Bytes fields = Tail(*body, kFurtherFieldsOffset);
    record.values[SmsRecord::Number] =
        EightBitText(FindField(fields, kNumberField), true, context.text);
    Bytes text = FindField(fields, kTextField);
    if (!text.empty() && text[0] == kSixteenBitMark) {
        // The whole data are code units; nothing is removed from them.
        record.values[SmsRecord::Text] = Utf16Text(text, false, context.text);
    } else {
        record.values[SmsRecord::Text] = EightBitText(text, true, context.text);
    }
    return record;
}

}  // namespace orrelin
