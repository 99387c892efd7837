#include "decoders/contact_decoder.h"

#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "ipd/fields.h"

namespace orrelin {
namespace {

constexpr std::uint8_t kNestedFields = 10;  // "Address Book - All": the fields lie inside it
// Both names take the form of the first name's field.
constexpr const FieldRow& kNameField = FieldOf(kContactFields, ContactRecord::FirstName);

bool IsJpeg(Bytes data) {
    return data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

}  // namespace

ContactRecord DecodeContact(const IpdImage& image, RecordSpan span, bool allForm,
                            const DecodeContext& context) {
    ContactRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;
    Bytes fields = RecordFields(*body);
    if (allForm) fields = FindField(fields, kNestedFields);
    auto& v = record.values;
    const TextOptions text = TextOptionsFor(image, context.text);

    // A contact is read for some fifty types, most of them absent.
    const FieldTypes present(fields);
    auto find = [&](std::uint8_t type, int mode = 0) {
        return present.has(type) ? FindField(fields, type, mode) : Bytes{};
    };
    // Both names take the form of the first: the last name is the same-typed field directly
    // after it, or nothing.
    Bytes wide = find(kNameField.wideType);
    if (!wide.empty()) {
        v[ContactRecord::FirstName] = SixteenBitText(wide, text);
        v[ContactRecord::LastName] = SixteenBitText(find(kNameField.wideType, 2), text);
    } else {
        v[ContactRecord::FirstName] = EightBitText(find(kNameField.type), true, text);
        v[ContactRecord::LastName] = EightBitText(find(kNameField.type, 2), true, text);
    }
    for (const FieldRow& field : kContactFields) {
        if (field.type == 0 || field.type == kNameField.type) continue;
        // The 16-bit form counts as soon as it has data.
        Bytes sixteen = field.wideType != 0 ? find(field.wideType) : Bytes{};
        v[field.slot] = !sixteen.empty() ? SixteenBitText(sixteen, text)
                                         : EightBitText(find(field.type), true, text);
    }

    Bytes photo = find(kContactPhotoType);
    if (IsJpeg(photo)) record.photo = photo;
    return record;
}

}  // namespace orrelin
