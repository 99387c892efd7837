#include "decoders/contact_decoder.h"

#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "io/file_output.h"
#include "ipd/fields.h"

namespace orrelin {
namespace {

constexpr std::uint8_t kNestedFields = 10;  // "Address Book - All": the fields lie inside it
constexpr std::uint8_t kNameField = 32;     // first name, and the last name directly after it
constexpr std::uint8_t kWideNameField = 160;
constexpr std::uint8_t kPhotoField = 77;

// Where a slot's value is stored: the 8-bit field type, and whether a 16-bit form of type
// t + 128 may stand for it.
struct SlotSource {
    ContactRecord::Slot slot;
    std::uint8_t type;
    bool sixteenBit;
};

// In the order they are filled; the names are read apart, Yahoo and the picture never here.
constexpr SlotSource kSources[] = {
    {ContactRecord::Title, 55, true},        {ContactRecord::Company, 33, true},
    {ContactRecord::Job, 42, true},          {ContactRecord::Email, 1, false},
    {ContactRecord::WorkPhone1, 6, false},   {ContactRecord::WorkPhone2, 16, false},
    {ContactRecord::HomePhone1, 7, false},   {ContactRecord::HomePhone2, 17, false},
    {ContactRecord::Mobile, 8, false},       {ContactRecord::Pager, 9, false},
    {ContactRecord::Fax, 3, false},          {ContactRecord::OtherNumber, 18, false},
    {ContactRecord::Pin, 10, false},         {ContactRecord::HomeAddress1, 61, true},
    {ContactRecord::HomeAddress2, 62, true}, {ContactRecord::HomeCity, 69, true},
    {ContactRecord::HomeState, 70, true},    {ContactRecord::HomeZip, 71, false},
    {ContactRecord::HomeCountry, 72, true},  {ContactRecord::WorkAddress1, 35, true},
    {ContactRecord::WorkAddress2, 36, true}, {ContactRecord::WorkCity, 38, true},
    {ContactRecord::WorkState, 39, true},    {ContactRecord::WorkZip, 40, false},
    {ContactRecord::WorkCountry, 41, true},  {ContactRecord::Birthday, 82, false},
    {ContactRecord::Anniversary, 83, false}, {ContactRecord::Category, 59, false},
    {ContactRecord::WebPage, 54, false},     {ContactRecord::Notes, 64, true},
    {ContactRecord::Facebook, 99, false},
};

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
    const TextOptions& text = context.text;

    // A contact is read for some fifty types, most of them absent.
    const FieldTypes present(fields);
    auto find = [&](std::uint8_t type, int mode = 0) {
        return present.has(type) ? FindField(fields, type, mode) : Bytes{};
    };
    // Both names take the form of the first: the last name is the same-typed field directly
    // after it, or nothing.
    Bytes wide = find(kWideNameField);
    if (!wide.empty()) {
        v[ContactRecord::FirstName] = SixteenBitText(wide, text);
        v[ContactRecord::LastName] = SixteenBitText(find(kWideNameField, 2), text);
    } else {
        v[ContactRecord::FirstName] = EightBitText(find(kNameField), true, text);
        v[ContactRecord::LastName] = EightBitText(find(kNameField, 2), true, text);
    }
    for (const SlotSource& source : kSources) {
        // The 16-bit form counts as soon as it has data.
        Bytes sixteen =
            source.sixteenBit ? find(static_cast<std::uint8_t>(source.type + 128)) : Bytes{};
        v[source.slot] = !sixteen.empty() ? SixteenBitText(sixteen, text)
                                          : EightBitText(find(source.type), true, text);
    }

    Bytes photo = find(kPhotoField);
    if (IsJpeg(photo)) record.photo = photo;
    return record;
}

std::string SaveContactPicture(Bytes photo, const std::string& folder, std::int32_t n) {
    std::string path = folder + "PIC" + std::to_string(n) + ".jpg";
    // Written whole through a temporary file: an older, longer picture leaves no tail behind.
    if (WriteFileAtomically(path, photo)) return {};
    return path;
}

}  // namespace orrelin
