#include "export/vcard_writer.h"

#include <gtest/gtest.h>

#include "content_lines.h"
#include "core/decoders/record_image.h"
#include "export/standard_text.h"

namespace orrelin {
namespace {

using testing::ContentLines;
using testing::FieldsImage;
using testing::PhysicalLines;
using testing::RecordImage;
using testing::Unescape;
using testing::ValueOf;

ContactRecord Contact(std::initializer_list<std::pair<ContactRecord::Slot, std::string>> values) {
    ContactRecord c;
    for (const auto& [slot, value] : values)
        c.values[slot] = value;
    return c;
}

std::string Card(const ContactRecord& c, std::span<const std::uint8_t> photo = {}) {
    std::string out;
    AppendVCard(c, photo, "", out);
    return out;
}

std::vector<std::uint8_t> Base64Decode(std::string_view text) {
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::vector<std::uint8_t> out;
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        if (c == '=') break;
        bits = bits << 6 | static_cast<std::uint32_t>(kAlphabet.find(c));
        if ((count += 6) >= 8) {
            count -= 8;
            out.push_back(static_cast<std::uint8_t>(bits >> count));
        }
    }
    return out;
}

TEST(VCardText, EscapesAndLineBreaksRoundTrip) {
    const std::string text = "a\\b, c; d\r\ne\nf\rg";
    EXPECT_EQ(EscapeVCardText(text), "a\\\\b\\, c\\; d\\ne\\nf\\ng");
    EXPECT_EQ(Unescape(EscapeVCardText(CleanText(text))), "a\\b, c; d\ne\nf\ng");

    // Controls that neither format allows are dropped, tabs kept, broken UTF-8 replaced.
    EXPECT_EQ(CleanText("a\x01\tb\x7F\xFF\xC3"), "a\tb\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(CleanText("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // a surrogate
}

TEST(VCardText, FoldsAt75OctetsWithoutSplittingCharacters) {
    std::string note;
    for (int i = 0; i < 30; ++i)
        note += "中文Кириллица😀, ";
    std::string card =
        Card(Contact({{ContactRecord::FirstName, "Ann"}, {ContactRecord::Notes, note}}));
    for (const std::string& line : PhysicalLines(card)) {
        EXPECT_LE(line.size(), 75u) << line;
        EXPECT_TRUE(testing::IsWholeUtf8(line)) << line;
    }
    EXPECT_EQ(Unescape(ValueOf(card, "NOTE")), note);

    // Every cut position between character boundaries is met with lines of one-octet to
    // four-octet characters.
    for (std::string_view unit : {"a", "é", "中", "😀"}) {
        for (std::size_t n = 70; n < 80; ++n) {
            std::string line = "X:";
            for (std::size_t i = 0; i < n; ++i)
                line += unit;
            std::string out;
            AppendFoldedLine(line, out);
            for (const std::string& physical : PhysicalLines(out)) {
                EXPECT_LE(physical.size(), 75u);
                EXPECT_TRUE(testing::IsWholeUtf8(physical));
            }
            EXPECT_EQ(ContentLines(out), std::vector<std::string>{line});
        }
    }
}

TEST(VCard, PropertiesOfAFullContact) {
    ContactRecord c = Contact({
        {ContactRecord::Title, "Dr."},
        {ContactRecord::FirstName, "Анна"},
        {ContactRecord::LastName, "Lee; Jr"},
        {ContactRecord::Company, "Acme, Inc."},
        {ContactRecord::Job, "Chief"},
        {ContactRecord::Email, "ann@example.com"},
        {ContactRecord::WorkPhone1, "+1 555 0100"},
        {ContactRecord::HomePhone2, "555 0101"},
        {ContactRecord::Mobile, "555 0102"},
        {ContactRecord::Pager, "555 0103"},
        {ContactRecord::Fax, "555 0104"},
        {ContactRecord::WorkAddress1, "1 Main St"},
        {ContactRecord::WorkAddress2, "Suite 2"},
        {ContactRecord::WorkCity, "Springfield"},
        {ContactRecord::WorkZip, "12345"},
        {ContactRecord::HomeCountry, "Norway"},
        {ContactRecord::Category, "Family"},
        {ContactRecord::WebPage, "http://example.com/a,b"},
        {ContactRecord::Notes, "line 1\r\nline 2"},
    });
    std::string uidCard;
    AppendVCard(c, {}, "00000001-2-address-book@orrelin", uidCard);
    std::vector<std::string> lines = ContentLines(uidCard);
    const std::vector<std::string> expected{
        "BEGIN:VCARD",
        "VERSION:4.0",
        "UID;VALUE=text:00000001-2-address-book@orrelin",
        "FN:Анна Lee\\; Jr",
        "N:Lee\\; Jr;Анна;;Dr.;",
        "ORG:Acme\\, Inc.",
        "TITLE:Chief",
        "EMAIL:ann@example.com",
        "TEL;TYPE=work,voice:+1 555 0100",
        "TEL;TYPE=home,voice:555 0101",
        "TEL;TYPE=cell:555 0102",
        "TEL;TYPE=pager:555 0103",
        "TEL;TYPE=fax:555 0104",
        "ADR;TYPE=work:;;1 Main St,Suite 2;Springfield;;12345;",
        "ADR;TYPE=home:;;;;;;Norway",
        "CATEGORIES:Family",
        "URL:http://example.com/a,b",
        "NOTE:line 1\\nline 2",
        "END:VCARD",
    };
    EXPECT_EQ(lines, expected);
}

TEST(VCard, FormattedNameAlwaysPresentWithFallbacks) {
    EXPECT_EQ(
        ValueOf(Card(Contact({{ContactRecord::Company, "Acme"}, {ContactRecord::Email, "a@b.c"}})),
                "FN"),
        "Acme");
    EXPECT_EQ(ValueOf(Card(Contact({{ContactRecord::Email, "a@b.c"}})), "FN"), "a@b.c");
    EXPECT_EQ(ValueOf(Card(Contact({{ContactRecord::Pager, "555"}})), "FN"), "555");
    std::string empty = Card(ContactRecord{});
    EXPECT_EQ(empty, "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:\r\nEND:VCARD\r\n");
}

TEST(VCard, BirthdayAndAnniversaryAreDatesOnlyWhenUnambiguous) {
    EXPECT_EQ(VCardDate("1975-03-14"), "19750314");
    EXPECT_EQ(VCardDate("19750314"), "19750314");
    EXPECT_EQ(VCardDate("March 14, 1975"), "19750314");
    EXPECT_EQ(VCardDate("14 mar 1975"), "19750314");
    EXPECT_EQ(VCardDate("25/12/1975"), "19751225");
    EXPECT_EQ(VCardDate("12/25/1975"), "19751225");
    EXPECT_EQ(VCardDate("2000/2/29"), "20000229");
    EXPECT_EQ(VCardDate("3/4/1975"), std::nullopt);    // March 4 or 3 April
    EXPECT_EQ(VCardDate("1900-02-29"), std::nullopt);  // not a leap year
    EXPECT_EQ(VCardDate("14/3/75"), std::nullopt);     // which century
    EXPECT_EQ(VCardDate("Ma 14 1975"), std::nullopt);
    EXPECT_EQ(VCardDate("soon"), std::nullopt);

    std::string card = Card(Contact({{ContactRecord::Birthday, "March 14, 1975"},
                                     {ContactRecord::Anniversary, "summer, 1999"}}));
    EXPECT_EQ(ValueOf(card, "BDAY"), "19750314");
    EXPECT_EQ(ValueOf(card, "ANNIVERSARY;VALUE=text"), "summer\\, 1999");
}

TEST(VCard, PhotoIsTheRecordsJpegEmbeddedAsBase64) {
    const ByteVector jpeg{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0xFB, 0x7F, 0x00, 0xD9};
    FieldList plain;
    plain.text(32, "Ann").add(77, jpeg);
    RecordImage r = FieldsImage(plain);
    EXPECT_EQ(ContactPhotoBytes(r.image, r.span), jpeg);

    // "Address Book - All" nests the photo in the first type-10 field.
    FieldList nested;
    nested.text(32, "Ann").add(77, jpeg);
    FieldList all;
    all.add(10, nested.bytes());
    RecordImage a = FieldsImage(all);
    EXPECT_EQ(ContactPhotoBytes(a.image, a.span), jpeg);

    FieldList notJpeg;
    notJpeg.add(77, {0x89, 0x50, 0x4E, 0x47});
    RecordImage n = FieldsImage(notJpeg);
    EXPECT_TRUE(ContactPhotoBytes(n.image, n.span).empty());
    EXPECT_TRUE(ContactPhotoBytes(r.image, {5, r.image.size() + 3}).empty());

    for (std::size_t size : {jpeg.size(), jpeg.size() - 1, jpeg.size() - 2, std::size_t{600}}) {
        ByteVector photo = jpeg;
        photo.resize(size, 0xA5);
        std::string card = Card(Contact({{ContactRecord::FirstName, "Ann"}}), photo);
        std::string value = ValueOf(card, "PHOTO");
        ASSERT_TRUE(value.starts_with("data:image/jpeg;base64,")) << value;
        EXPECT_EQ(Base64Decode(value.substr(23)), photo);
    }
}

TEST(VCard, ContactDecodedAsUnicodeKeepsEveryCharacter) {
    FieldList fields;
    fields.add(160, testing::Utf16Data(u"王")).add(160, testing::Utf16Data(u"Ωμέγα 😀"));
    fields.text(33, "Caf\xE9").add(192, testing::Utf16Data(u"Заметка"));
    RecordImage r = FieldsImage(fields);
    DecodeContext unicode;
    unicode.text.unicode = true;
    std::string card = Card(DecodeContact(r.image, r.span, false, unicode));
    EXPECT_EQ(ValueOf(card, "N"), "Ωμέγα 😀;王;;;");
    EXPECT_EQ(ValueOf(card, "ORG"), "Café");
    EXPECT_EQ(ValueOf(card, "NOTE"), "Заметка");
}

TEST(VCard, PythonVobjectReadsTheCards) {
    std::string python = testing::PythonWith("vobject");
    if (python.empty()) GTEST_SKIP() << "no Python with vobject";
    std::string note;
    for (int i = 0; i < 10; ++i)
        note += "中文 Кириллица 😀; a,b\\c\n";
    std::string text;
    AppendVCard(Contact({{ContactRecord::FirstName, "Ann"},
                         {ContactRecord::LastName, "Lee"},
                         {ContactRecord::Company, "Acme; Ltd"},
                         {ContactRecord::Mobile, "555"},
                         {ContactRecord::Birthday, "1975-03-14"},
                         {ContactRecord::Notes, note}}),
                ByteVector{0xFF, 0xD8, 0xFF, 0x01}, "x-1-address-book@orrelin", text);
    AppendVCard(ContactRecord{}, {}, "y-2-address-book@orrelin", text);
    const char* script = R"(
import sys, vobject
cards = list(vobject.readComponents(open(sys.argv[1], encoding='utf-8', newline='').read()))
assert len(cards) == 2, len(cards)
c = cards[0]
assert c.fn.value == 'Ann Lee', c.fn.value
assert c.org.value == ['Acme; Ltd'], c.org.value
assert c.note.value == '中文 Кириллица 😀; a,b\\c\n' * 10, repr(c.note.value)
assert c.tel.params['TYPE'] == ['cell'], c.tel.params
assert cards[1].fn.value == ''
print('ok')
)";
    std::string output;
    EXPECT_EQ(testing::RunPython(python, script, text, output), 0) << output;
}

}  // namespace
}  // namespace orrelin
