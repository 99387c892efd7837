#include "decoders/memo_decoder.h"

#include "decoders/record_fields.h"
#include "decoders/text_field.h"

namespace orrelin {

MemoRecord DecodeMemo(const IpdImage& image, RecordSpan span, const DecodeContext& context) {
    MemoRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;
    Bytes fields = RecordFields(*body);
    // Title: type 1 (16-bit 129); body: type 2 (16-bit 130).
    record.values[MemoRecord::Title] = TextField(fields, 1, true, context.text);
    record.values[MemoRecord::Body] = TextField(fields, 2, true, context.text);
    return record;
}

}  // namespace orrelin
