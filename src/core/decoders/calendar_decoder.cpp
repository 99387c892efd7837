#include "decoders/calendar_decoder.h"

#include "decoders/field_tables.h"
#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "ipd/fields.h"

namespace orrelin {
namespace {

constexpr std::uint8_t kNestedFields = 10;  // "Calendar - All": behind the first 4 bytes
constexpr std::size_t kNestedLead = 4;
constexpr std::uint8_t kStartField = FieldOf(kCalendarFields, CalendarRecord::Start).type;
constexpr std::uint8_t kEndField = FieldOf(kCalendarFields, CalendarRecord::End).type;

// A signed little-endian count of minutes in the first four data bytes; an absent field is
// the count 0 and shows the conversion base itself.
std::string AppointmentTime(Bytes fields, std::uint8_t type, const DecodeContext& context) {
    return MinutesToDate(SmallNumber(FindField(fields, type)), context.timeZoneText,
                         context.dateStyle);
}

// The instant of a start or end field. The field holds whole minutes since 1970-01-01 00:00
// UTC, a signed 32-bit little-endian count in its first four bytes (missing high bytes 0); the
// instant is that count times 60 seconds. The display text is built on a base three hours
// after the epoch, plus the user's offset; the instant carries neither. A field without data
// gives no instant.
std::optional<std::int64_t> AppointmentInstant(Bytes fields, std::uint8_t type) {
    Bytes data = FindField(fields, type);
    if (data.empty()) return std::nullopt;
    return std::int64_t{SmallNumber(data)} * 60;
}

}  // namespace

CalendarRecord DecodeCalendar(const IpdImage& image, RecordSpan span, bool allForm,
                              const DecodeContext& context) {
    CalendarRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;
    Bytes fields = RecordFields(*body);
    if (allForm) fields = Tail(FindField(fields, kNestedFields), kNestedLead);
    auto& v = record.values;
    const TextOptions text = TextOptionsFor(image, context.text);

    // 8-bit texts keep their control characters here; the 16-bit location is type 132 and
    // the 16-bit notes type 131.
    for (auto slot : {CalendarRecord::Subject, CalendarRecord::Location, CalendarRecord::Notes})
        v[slot] = TextField(fields, FieldOf(kCalendarFields, slot), false, text);
    v[CalendarRecord::Start] = AppointmentTime(fields, kStartField, context);
    v[CalendarRecord::End] = AppointmentTime(fields, kEndField, context);
    record.startUtc = AppointmentInstant(fields, kStartField);
    record.endUtc = AppointmentInstant(fields, kEndField);
    return record;
}

}  // namespace orrelin
