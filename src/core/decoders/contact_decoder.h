#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

// A contact's label (the tree, the HTML archive's headings, the text index): the first and the
// last name joined by a blank, as they stand, either of them empty or not.
std::string ContactLabel(std::string_view first, std::string_view last);
// The name that stands for a contact (a number's owner, vCard's FN): the two names with a blank
// between them only when both are there, else the company.
std::string ContactDisplayName(std::string_view first, std::string_view last,
                               std::string_view company);

// A contact of "Address Book" or "Address Book - All": 34 texts and the photo.
struct ContactRecord {
    enum Slot {
        Title,
        FirstName,
        LastName,
        Company,
        Job,
        Email,
        WorkPhone1,
        WorkPhone2,
        HomePhone1,
        HomePhone2,
        Mobile,
        Pager,
        Fax,
        OtherNumber,
        Pin,
        WorkAddress1,
        WorkAddress2,
        WorkCity,
        WorkState,
        WorkZip,
        WorkCountry,
        HomeAddress1,
        HomeAddress2,
        HomeCity,
        HomeState,
        HomeZip,
        HomeCountry,
        Birthday,
        Anniversary,
        Category,
        WebPage,
        Facebook,
        Yahoo,
        Notes,
        PicturePath,
    };
    static constexpr std::size_t kSlots = 35;
    std::array<std::string, kSlots> values;
    // The JPEG data of the photo field (type 77) when it starts FF D8 FF; empty otherwise.
    // It points into the image the record was decoded from.
    Bytes photo;

    const std::string& operator[](Slot s) const { return values[s]; }
};

// Pane label of each slot; the notes and the picture have none.
inline constexpr std::array<std::string_view, ContactRecord::kSlots> kContactLabels = [] {
    std::array<std::string_view, ContactRecord::kSlots> labels{};
    for (const FieldRow& field : kContactFields)
        labels[field.slot] = field.pane;
    return labels;
}();

// Decodes a contact; `allForm` is true for "Address Book - All", whose fields lie inside the
// record's first type-10 field. The photo is kept as the bytes of the record.
ContactRecord DecodeContact(const IpdImage& image, RecordSpan span, bool allForm,
                            const DecodeContext& context);

// Contact slots as bits (1 << slot), for a caller that needs a few of a contact's texts.
using ContactSlots = std::uint64_t;
inline constexpr ContactSlots kAllContactSlots = (ContactSlots{1} << ContactRecord::kSlots) - 1;
constexpr ContactSlots ContactSlotBits(std::initializer_list<ContactRecord::Slot> slots) {
    ContactSlots bits = 0;
    for (ContactRecord::Slot slot : slots)
        bits |= ContactSlots{1} << slot;
    return bits;
}

// The same with the texts of `slots` alone read, the others left empty; the photo as above.
ContactRecord DecodeContact(const IpdImage& image, RecordSpan span, bool allForm,
                            const DecodeContext& context, ContactSlots slots);

}  // namespace orrelin
