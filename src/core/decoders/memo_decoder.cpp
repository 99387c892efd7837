#include "decoders/memo_decoder.h"

#include "decoders/field_tables.h"
#include "decoders/record_fields.h"
#include "decoders/text_field.h"

namespace orrelin {

MemoRecord DecodeMemo(const IpdImage& image, RecordSpan span, const DecodeContext& context) {
    MemoRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;
    Bytes fields = RecordFields(*body);
    const TextOptions text = TextOptionsFor(image, context.text);
    for (MemoRecord::Slot slot : {MemoRecord::Title, MemoRecord::Body})
        record.values[slot] = TextField(fields, FieldOf(kMemoFields, slot), true, text);
    return record;
}

}  // namespace orrelin
