#include "decoders/call_decoder.h"

#include "decoders/field_tables.h"
#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "ipd/fields.h"

namespace orrelin {
namespace {

constexpr std::uint8_t kDirectionField = FieldOf(kCallFields, CallRecord::Direction).type;
constexpr std::uint8_t kDurationField = FieldOf(kCallFields, CallRecord::Duration).type;
constexpr std::uint8_t kTimeField = FieldOf(kCallFields, CallRecord::Date).type;
constexpr std::uint8_t kStatusField = FieldOf(kCallFields, CallRecord::Status).type;
constexpr std::uint8_t kNumberField = FieldOf(kCallFields, CallRecord::Number).type;
constexpr std::uint8_t kNameField = FieldOf(kCallFields, CallRecord::Name).type;
constexpr std::uint8_t kWideNameField = FieldOf(kCallFields, CallRecord::Name).wideType;
constexpr std::size_t kTimeBytes = 8;

std::string DirectionWord(std::int32_t n) {
    return n >= 0 && static_cast<std::size_t>(n) < kCallDirectionWords.size()
               ? std::string(kCallDirectionWords[static_cast<std::size_t>(n)])
               : std::string();
}

std::string StatusWord(std::int32_t n) {
    if (n == 0) return {};
    return std::string(n == 1 ? kCallStatusBusy : kCallStatusFailed);
}

// Whole minutes and the seconds left, both truncated toward zero: 125 gives "2:5", -125 "-2:-5".
std::string DurationText(std::int32_t seconds) {
    return std::to_string(seconds / 60) + ":" + std::to_string(seconds % 60);
}

}  // namespace

CallRecord DecodeCall(const IpdImage& image, RecordSpan span, const DecodeContext& context) {
    CallRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;
    // Read for seven types: the fields are walked once.
    const FieldMap fields(RecordFields(*body));
    auto& v = record.values;
    const TextOptions text = TextOptionsFor(image, context.text);

    v[CallRecord::Direction] = DirectionWord(SmallNumber(fields.find(kDirectionField)));
    // Milliseconds in the first eight data bytes, little-endian; an absent field is the count 0.
    Bytes time = fields.find(kTimeField);
    const std::uint64_t millis = LittleEndianValue(Slice(time, 0, kTimeBytes));
    if (context.displayTimes) {
        v[CallRecord::Date] =
            MillisToDate(static_cast<double>(millis), context.timeZoneText, context.dateStyle);
    }
    if (!time.empty()) {
        record.timeUtc = static_cast<std::int64_t>(millis / 1000);
        record.timeMillis = millis;
    }

    // The name: the 16-bit field, else the 8-bit one, else the number; the 8-bit forms keep
    // their control characters.
    Bytes number = fields.find(kNumberField);
    Bytes wideName = fields.find(kWideNameField);
    Bytes name = fields.find(kNameField);
    if (!wideName.empty()) {
        v[CallRecord::Name] = SixteenBitText(wideName, text);
    } else {
        v[CallRecord::Name] = EightBitText(name.empty() ? number : name, false, text);
    }
    v[CallRecord::Number] = EightBitText(number, true, text);
    record.durationSeconds = SmallNumber(fields.find(kDurationField));
    v[CallRecord::Duration] = DurationText(record.durationSeconds);
    v[CallRecord::Status] = StatusWord(SmallNumber(fields.find(kStatusField)));
    return record;
}

}  // namespace orrelin
