#include "decoders/task_decoder.h"

#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "ipd/fields.h"

namespace orrelin {
namespace {

constexpr std::uint8_t kTitleField = 2;  // 16-bit form 130
constexpr std::uint8_t kNotesField = 3;  // 16-bit form 131
constexpr std::uint8_t kStatusField = 9;
constexpr std::uint8_t kPriorityField = 10;

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
    v[TaskRecord::Title] = TextField(fields, kTitleField, true, context.text);
    v[TaskRecord::Priority] = WordOf(fields, kPriorityField, kTaskPriorityWords);
    v[TaskRecord::Status] = WordOf(fields, kStatusField, kTaskStatusWords);
    v[TaskRecord::Notes] = TextField(fields, kNotesField, true, context.text);
    return record;
}

}  // namespace orrelin
