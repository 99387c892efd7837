#include <gtest/gtest.h>

#include <iterator>

#include "decoders/contact_decoder.h"
#include "decoders/record_fields.h"
#include "kinds/labels.h"
#include "record_image.h"

namespace orrelin {
namespace {

using testing::FieldsImage;
using testing::RecordImage;
using testing::Utf16Data;

const DecodeContext kContext{};

ContactRecord Decode(const FieldList& fields, bool allForm = false,
                     const DecodeContext& context = kContext) {
    RecordImage r = FieldsImage(fields);
    return DecodeContact(r.image, r.span, allForm, context);
}

TEST(DecodeContact, NamesAreTheFirstAndTheDirectlyFollowingNameField) {
    FieldList pair;
    pair.text(32, "Ann").text(32, "Lee");
    ContactRecord both = Decode(pair);
    EXPECT_EQ(both[ContactRecord::FirstName], "Ann");
    EXPECT_EQ(both[ContactRecord::LastName], "Lee");

    FieldList single;
    single.text(32, "Ann");
    EXPECT_EQ(Decode(single)[ContactRecord::LastName], "");

    FieldList apart;
    apart.text(32, "Ann").text(33, "Acme").text(32, "Lee");
    ContactRecord a = Decode(apart);
    EXPECT_EQ(a[ContactRecord::FirstName], "Ann");
    EXPECT_EQ(a[ContactRecord::LastName], "");
    EXPECT_EQ(a[ContactRecord::Company], "Acme");
}

TEST(DecodeContact, SixteenBitNamesWinAndTakeTheLastNameInTheirOwnForm) {
    FieldList wide;
    wide.text(32, "Ann").text(32, "Lee").add(160, Utf16Data(u"Sam")).add(160, Utf16Data(u"Roe"));
    ContactRecord w = Decode(wide);
    EXPECT_EQ(w[ContactRecord::FirstName], "Sam");
    EXPECT_EQ(w[ContactRecord::LastName], "Roe");

    // A 16-bit first name followed by an 8-bit one has no last name.
    FieldList mixed;
    mixed.add(160, Utf16Data(u"Sam")).text(32, "Lee");
    ContactRecord m = Decode(mixed);
    EXPECT_EQ(m[ContactRecord::FirstName], "Sam");
    EXPECT_EQ(m[ContactRecord::LastName], "");
}

TEST(DecodeContact, EverySlotReadsItsOwnFieldType) {
    struct Expect {
        ContactRecord::Slot slot;
        std::uint8_t type;
    };
    const Expect eightBit[] = {
        {ContactRecord::Title, 55},        {ContactRecord::Company, 33},
        {ContactRecord::Job, 42},          {ContactRecord::Email, 1},
        {ContactRecord::WorkPhone1, 6},    {ContactRecord::WorkPhone2, 16},
        {ContactRecord::HomePhone1, 7},    {ContactRecord::HomePhone2, 17},
        {ContactRecord::Mobile, 8},        {ContactRecord::Pager, 9},
        {ContactRecord::Fax, 3},           {ContactRecord::OtherNumber, 18},
        {ContactRecord::Pin, 10},          {ContactRecord::WorkAddress1, 35},
        {ContactRecord::WorkAddress2, 36}, {ContactRecord::WorkCity, 38},
        {ContactRecord::WorkState, 39},    {ContactRecord::WorkZip, 40},
        {ContactRecord::WorkCountry, 41},  {ContactRecord::HomeAddress1, 61},
        {ContactRecord::HomeAddress2, 62}, {ContactRecord::HomeCity, 69},
        {ContactRecord::HomeState, 70},    {ContactRecord::HomeZip, 71},
        {ContactRecord::HomeCountry, 72},  {ContactRecord::Birthday, 82},
        {ContactRecord::Anniversary, 83},  {ContactRecord::Category, 59},
        {ContactRecord::WebPage, 54},      {ContactRecord::Facebook, 99},
        {ContactRecord::Notes, 64},
    };
    FieldList fields;
    for (const auto& e : eightBit)
        fields.text(e.type, "v" + std::to_string(e.type));
    ContactRecord c = Decode(fields);
    for (const auto& e : eightBit) {
        EXPECT_EQ(c[e.slot], "v" + std::to_string(e.type)) << "slot " << e.slot;
    }
    EXPECT_EQ(c[ContactRecord::Yahoo], "");
    EXPECT_EQ(c[ContactRecord::PicturePath], "");

    // Slots with a 16-bit form take it from type t + 128; the others ignore such a field.
    const std::uint8_t withWide[] = {55, 33, 42, 35, 36, 38, 39, 41, 61, 62, 69, 70, 72, 64};
    const std::uint8_t eightOnly[] = {1, 6, 16, 7, 17, 8, 9, 3, 18, 10, 40, 71, 82, 83, 59, 54, 99};
    FieldList wide = fields;
    for (std::uint8_t t : withWide) {
        wide.add(static_cast<std::uint8_t>(t + 128),
                 Utf16Data(u"w" + std::u16string(1, u'A' + t % 26)));
    }
    for (std::uint8_t t : eightOnly)
        wide.add(static_cast<std::uint8_t>(t + 128), Utf16Data(u"no"));
    ContactRecord w = Decode(wide);
    for (const auto& e : eightBit) {
        bool hasWide =
            std::find(std::begin(withWide), std::end(withWide), e.type) != std::end(withWide);
        std::string expected = hasWide ? std::string("w") + static_cast<char>('A' + e.type % 26)
                                       : "v" + std::to_string(e.type);
        EXPECT_EQ(w[e.slot], expected) << "slot " << e.slot;
    }
}

// Asked for some slots, a contact gives those as a whole decoding does and leaves the rest
// empty; the photo comes either way.
TEST(DecodeContact, ChosenSlotsAloneAreRead) {
    FieldList fields;
    fields.text(32, "Ann").text(32, "Lee").text(33, "Acme").text(8, "555").text(64, "note");
    fields.add(77, {0xFF, 0xD8, 0xFF, 0xE0});
    RecordImage r = FieldsImage(fields);
    const ContactRecord all = DecodeContact(r.image, r.span, false, kContext);
    const ContactSlots cases[] = {
        0,
        ContactSlotBits({ContactRecord::LastName}),
        ContactSlotBits({ContactRecord::Company, ContactRecord::Mobile}),
        ContactSlotBits({ContactRecord::FirstName, ContactRecord::Notes}),
        kAllContactSlots,
    };
    for (ContactSlots slots : cases) {
        const ContactRecord some = DecodeContact(r.image, r.span, false, kContext, slots);
        for (std::size_t slot = 0; slot < ContactRecord::kSlots; ++slot) {
            EXPECT_EQ(some.values[slot], (slots >> slot & 1) ? all.values[slot] : "")
                << "slots " << slots << " slot " << slot;
        }
        EXPECT_EQ(some.photo.size(), 4u);
    }
}

TEST(DecodeContact, TextRules) {
    FieldList fields;
    fields.add(161, {0x00, 0x00, 0x41, 0x00, 0x42})
        .text(64, "line 1\r\nline\t2\x01", true)
        .text(8,
              "+44 \x7F\x1B"
              "1");
    ContactRecord c = Decode(fields);
    EXPECT_EQ(c[ContactRecord::Company], "AB");
    EXPECT_EQ(c[ContactRecord::Notes], "line 1\r\nline2");
    EXPECT_EQ(c[ContactRecord::Mobile],
              "+44 \x7F"
              "1");
}

TEST(DecodeContact, AllFormReadsOnlyTheNestedFields) {
    FieldList nested;
    nested.text(32, "Ann").text(32, "Lee").text(10, "2100000A");
    FieldList outer;
    outer.text(1, "top@example.com").add(10, nested.bytes()).text(10, "not this");
    ContactRecord all = Decode(outer, true);
    EXPECT_EQ(all[ContactRecord::FirstName], "Ann");
    EXPECT_EQ(all[ContactRecord::LastName], "Lee");
    EXPECT_EQ(all[ContactRecord::Pin], "2100000A");
    EXPECT_EQ(all[ContactRecord::Email], "");

    // The same record as a plain "Address Book" record reads the top level.
    ContactRecord plain = Decode(outer, false);
    EXPECT_EQ(plain[ContactRecord::Email], "top@example.com");
    EXPECT_EQ(plain[ContactRecord::FirstName], "");
}

// The HTML page writes a contact's label from its decoded names: the label rule reads the
// same fields the same way, in both forms of the address book and with either kind of field.
TEST(DecodeContact, UnicodeLabelIsTheNamesJoinedByABlank) {
    FieldList eight;
    eight.text(32, "Ann\x01").text(32, "L\351e").text(33, "Acme");  // \351: 0xE9
    FieldList wide;
    wide.text(32, "Ann").add(160, Utf16Data(u"\u0633\u0644\u0645\u0649")).add(160, Utf16Data(u"R"));
    FieldList first;
    first.text(32, "Ann").text(33, "Acme");
    FieldList none;
    none.text(33, "Acme");
    const TextOptions unicode{.unicode = true, .eightBitPage = CodePage::Cp1252};
    DecodeContext context;
    context.text = unicode;
    for (const FieldList* fields : {&eight, &wide, &first, &none}) {
        FieldList outer;
        outer.add(10, fields->bytes());
        for (bool allForm : {false, true}) {
            RecordImage r = FieldsImage(allForm ? outer : *fields);
            const ContactRecord c = DecodeContact(r.image, r.span, allForm, context);
            const KnownDb db = allForm ? KnownDb::AddressBookAll : KnownDb::AddressBook;
            EXPECT_EQ(UnicodeLabel(db, *RecordBody(r.image, r.span), unicode),
                      c[ContactRecord::FirstName] + " " + c[ContactRecord::LastName]);
        }
    }
}

TEST(DecodeContact, PhotoOnlyWhenItIsJpeg) {
    const ByteVector jpeg{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'};
    FieldList withPhoto;
    withPhoto.text(32, "Ann").add(77, jpeg);
    RecordImage r = FieldsImage(withPhoto);  // the photo points into this image
    ContactRecord c = DecodeContact(r.image, r.span, false, kContext);
    EXPECT_EQ(ByteVector(c.photo.begin(), c.photo.end()), jpeg);
    EXPECT_EQ(c[ContactRecord::PicturePath], "");

    FieldList png;
    png.add(77, {0x89, 'P', 'N', 'G'});
    EXPECT_TRUE(Decode(png).photo.empty());
    FieldList cut;
    cut.add(77, {0xFF, 0xD8});
    EXPECT_TRUE(Decode(cut).photo.empty());
}

TEST(DecodeContact, DamagedRecords) {
    // A field length past the end yields what is there; a span outside the image, nothing.
    FieldList cut;
    cut.text(32, "Ann").raw({0x50, 0x00, 0x20, 'L', 'e'});
    ContactRecord c = Decode(cut);
    EXPECT_EQ(c[ContactRecord::LastName], "Le");

    RecordImage r = FieldsImage(cut);
    ContactRecord outside = DecodeContact(r.image, testing::PastTheEnd(r), false, kContext);
    for (const auto& value : outside.values)
        EXPECT_EQ(value, "");
    EXPECT_TRUE(outside.photo.empty());

    RecordImage empty = testing::BodyImage({});
    ContactRecord none = DecodeContact(empty.image, empty.span, true, kContext);
    for (const auto& value : none.values)
        EXPECT_EQ(value, "");
}

TEST(DecodeContact, UnicodeFormRoundTripsEveryCharacter) {
    DecodeContext unicode;
    unicode.text.unicode = true;
    FieldList fields;
    fields.add(160, Utf16Data(u"\u5F20\u4F1F"))
        .add(160, Utf16Data(u"\U0001F600\u00E9"))
        .text(33, "Caf\xE9");
    ContactRecord c = Decode(fields, false, unicode);
    EXPECT_EQ(c[ContactRecord::FirstName], "\u5F20\u4F1F");
    EXPECT_EQ(c[ContactRecord::LastName], "\U0001F600\u00E9");
    EXPECT_EQ(c[ContactRecord::Company], "Caf\u00E9");
    // The program's own form reduces them to code page 1256.
    ContactRecord single = Decode(fields);
    EXPECT_EQ(single[ContactRecord::FirstName], "??");
    EXPECT_EQ(single[ContactRecord::LastName], "??\xE9");
}

}  // namespace
}  // namespace orrelin
