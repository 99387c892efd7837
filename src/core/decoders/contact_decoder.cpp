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
    return DecodeContact(image, span, allForm, context, kAllContactSlots);
}

ContactRecord DecodeContact(const IpdImage& image, RecordSpan span, bool allForm,
                            const DecodeContext& context, ContactSlots slots) {
    ContactRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;
    Bytes fields = RecordFields(*body);
    if (allForm) fields = FindField(fields, kNestedFields);
    auto& v = record.values;
    const TextOptions text = TextOptionsFor(image, context.text);

    // A contact is read for some fifty types, most of them absent: the fields are walked once.
    const FieldMap map(fields);
    auto find = [&](std::uint8_t type) { return map.find(type); };
    auto wanted = [&](std::size_t slot) { return (slots >> slot & 1) != 0; };
    // Both names take the form of the first: the last name is the same-typed field directly
    // after it, or nothing.
    const bool wide = !find(kNameField.wideType).empty();
    auto name = [&](Bytes data) {
        return wide ? SixteenBitText(data, text) : EightBitText(data, true, text);
    };
    const std::uint8_t nameType = wide ? kNameField.wideType : kNameField.type;
    if (wanted(ContactRecord::FirstName)) v[ContactRecord::FirstName] = name(find(nameType));
    if (wanted(ContactRecord::LastName))
        v[ContactRecord::LastName] = name(map.findSecond(nameType));
    for (const FieldRow& field : kContactFields) {
        if (field.type == 0 || field.type == kNameField.type || !wanted(field.slot)) continue;
        // The 16-bit form counts as soon as it has data.
        Bytes sixteen = field.wideType != 0 ? find(field.wideType) : Bytes{};
        if (!sixteen.empty()) {
            v[field.slot] = SixteenBitText(sixteen, text);
        } else if (Bytes eight = find(field.type); !eight.empty()) {
            v[field.slot] = EightBitText(eight, true, text);
        }
    }

    Bytes photo = find(kContactPhotoType);
    if (IsJpeg(photo)) record.photo = photo;
    return record;
}

std::string ContactLabel(std::string_view first, std::string_view last) {
    std::string label;
    label.reserve(first.size() + 1 + last.size());
    label.append(first).append(1, ' ').append(last);
    return label;
}

std::string ContactDisplayName(std::string_view first, std::string_view last,
                               std::string_view company) {
    std::string name(first);
    if (!name.empty() && !last.empty()) name.push_back(' ');
    name.append(last);
    return name.empty() ? std::string(company) : name;
}

}  // namespace orrelin
