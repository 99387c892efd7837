#include "decoders/task_decoder.h"

#include "decoders/field_tables.h"
#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "ipd/fields.h"

namespace orrelin {
namespace {

constexpr const FieldRow& Field(TaskRecord::Slot slot) {
    return FieldOf(kTaskFields, slot);
}

// The word of a number stored in a field's first byte (an absent field is 0); the empty text
// for numbers the table does not hold.
template <std::size_t N>
std::string WordOf(Bytes fields, std::uint8_t type, const std::array<std::string_view, N>& words) {
    Bytes data = FindField(fields, type);
    std::size_t number = data.empty() ? 0 : data[0];
    return number < N ? std::string(words[number]) : std::string();
}

}  // namespace

TaskRecord DecodeTask(const IpdImage& image, RecordSpan span, const DecodeContext& context) {
    TaskRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;
    Bytes fields = RecordFields(*body);
    auto& v = record.values;
    const TextOptions text = TextOptionsFor(image, context.text);
    v[TaskRecord::Title] = TextField(fields, Field(TaskRecord::Title), true, text);
    v[TaskRecord::Priority] = WordOf(fields, Field(TaskRecord::Priority).type, kTaskPriorityWords);
    v[TaskRecord::Status] = WordOf(fields, Field(TaskRecord::Status).type, kTaskStatusWords);
    v[TaskRecord::Notes] = TextField(fields, Field(TaskRecord::Notes), true, text);
    return record;
}

}  // namespace orrelin
