#include "kinds/decode_any.h"

#include "kinds/record_kinds.h"

namespace orrelin {

std::vector<ValueRow> DecodeValues(const IpdImage& image, KnownDb db, RecordSpan span,
                                   const DecodeContext& context) {
    const KindInfo& kind = KindInfoOf(db);
    RecordValues values;
    DecodeRecord(image, db, span, context, values);
    std::vector<ValueRow> rows;
    rows.reserve(kind.fields.size());
    for (const FieldRow& field : kind.fields)
        rows.push_back({field.slot, field.pane, std::move(values.texts[field.slot])});
    return rows;
}

bool HoldsCharactersBeyondCp1256(const IpdImage& image, KnownDb db, RecordSpan span) {
    DecodeContext context;
    context.text = TextOptions{true, CodePage::Cp1256};
    context.displayTimes = false;
    RecordValues values;
    DecodeRecord(image, db, span, context, values);
    for (const std::string& text : values.view()) {
        if (!Utf8ToCp1256(text)) return true;
    }
    return false;
}

}  // namespace orrelin
