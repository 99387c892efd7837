#include "export/vcard_writer.h"

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "content_lines.h"
#include "core/decoders/record_image.h"
#include "export/standard_text.h"

namespace orrelin {
namespace {

using testing::ContentLines;
using testing::FieldsImage;
using testing::RecordImage;
using testing::Unescape;
using testing::ValueOf;
using C = ContactRecord;

std::string Card(std::initializer_list<std::pair<C::Slot, std::string>> values,
                 std::span<const std::uint8_t> photo = {}, std::string_view uid = "") {
    ContactRecord c;
    for (const auto& [slot, value] : values)
        c.values[slot] = value;
    std::string out;
    AppendVCard(c, photo, uid, out);
    return out;
}

TEST(VCardText, EscapingCleaningAndFoldingRoundTrip) {
    EXPECT_EQ(EscapeVCardText("a\\b, c; d\r\ne\nf\rg"), "a\\\\b\\, c\\; d\\ne\\nf\\ng");
    // Controls neither format allows are dropped, tabs kept, broken UTF-8 replaced.
    EXPECT_EQ(CleanText("a\x01\tb\x7F\xFF\r"), "a\tb\xEF\xBF\xBD\n");
    EXPECT_EQ(CleanText("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // a surrogate

    std::string note;
    for (int i = 0; i < 30; ++i)
        note += "中文Кириллица😀, \\;\n";
    std::string card = Card({{C::FirstName, "Ann"}, {C::Notes, note}});
    EXPECT_TRUE(testing::FoldedWhole(card));
    EXPECT_EQ(Unescape(ValueOf(card, "NOTE")), note);

    // Every cut position against characters of one to four octets.
    for (std::string_view unit : {"a", "é", "中", "😀"}) {
        for (std::size_t n = 70; n < 80; ++n) {
            std::string line = "X:";
            for (std::size_t i = 0; i < n; ++i)
                line += unit;
            std::string out;
            AppendFoldedLine(line, out);
            EXPECT_TRUE(testing::FoldedWhole(out)) << out;
            EXPECT_EQ(ContentLines(out), std::vector<std::string>{line});
        }
    }
}

TEST(VCard, PropertiesOfAContact) {
    std::string card = Card({{C::Title, "Dr."},
                             {C::FirstName, "Анна"},
                             {C::LastName, "Lee; Jr"},
                             {C::Company, "Acme, Inc."},
                             {C::Job, "Chief"},
                             {C::Email, "ann@example.com"},
                             {C::WorkPhone1, "0100"},
                             {C::HomePhone2, "0101"},
                             {C::Mobile, "0102"},
                             {C::Pager, "0103"},
                             {C::Fax, "0104"},
                             {C::WorkAddress1, "1 Main St"},
                             {C::WorkAddress2, "Ste 2"},
                             {C::WorkCity, "Springfield"},
                             {C::WorkZip, "12345"},
                             {C::HomeCountry, "Norway"},
                             {C::Category, "Family"},
                             {C::WebPage, "http://a.example/a,b"},
                             {C::Notes, "1\r\n2"}},
                            {}, "1-2-address-book@orrelin");
    EXPECT_EQ(ContentLines(card), (std::vector<std::string>{
                                      "BEGIN:VCARD",
                                      "VERSION:4.0",
                                      "UID;VALUE=text:1-2-address-book@orrelin",
                                      "FN:Анна Lee\\; Jr",
                                      "N:Lee\\; Jr;Анна;;Dr.;",
                                      "ORG:Acme\\, Inc.",
                                      "TITLE:Chief",
                                      "EMAIL:ann@example.com",
                                      "TEL;TYPE=work,voice:0100",
                                      "TEL;TYPE=home,voice:0101",
                                      "TEL;TYPE=cell:0102",
                                      "TEL;TYPE=pager:0103",
                                      "TEL;TYPE=fax:0104",
                                      "ADR;TYPE=work:;;1 Main St,Ste 2;Springfield;;12345;",
                                      "ADR;TYPE=home:;;;;;;Norway",
                                      "CATEGORIES:Family",
                                      "URL:http://a.example/a,b",
                                      "NOTE:1\\n2",
                                      "END:VCARD",
                                  }));

    // FN falls back to the company, the email address, a number, else stays empty.
    EXPECT_EQ(ValueOf(Card({{C::Company, "Acme"}, {C::Email, "a@b.c"}}), "FN"), "Acme");
    EXPECT_EQ(ValueOf(Card({{C::Email, "a@b.c"}, {C::Pager, "5"}}), "FN"), "a@b.c");
    EXPECT_EQ(ValueOf(Card({{C::Pager, "5"}}), "FN"), "5");
    EXPECT_EQ(Card({}), "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:\r\nEND:VCARD\r\n");
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

    std::string card = Card({{C::Birthday, "March 14, 1975"}, {C::Anniversary, "summer, 1999"}});
    EXPECT_EQ(ValueOf(card, "BDAY"), "19750314");
    EXPECT_EQ(ValueOf(card, "ANNIVERSARY;VALUE=text"), "summer\\, 1999");
}

TEST(VCard, PhotoIsTheRecordsJpegAsBase64) {
    const ByteVector jpeg{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0xFB, 0x7F, 0x00};
    FieldList plain, nested, all, png;
    plain.text(32, "Ann").add(77, jpeg);
    all.add(10, nested.text(32, "Ann").add(77, jpeg).bytes());  // "Address Book - All"
    png.add(77, {0x89, 0x50, 0x4E, 0x47});
    // The photo the export writes is the one the decoder finds, in both address book layouts.
    DecodeContext unicode;
    unicode.text.unicode = true;
    for (const FieldList* fields : {&plain, &all, &png}) {
        RecordImage r = FieldsImage(*fields);
        const Bytes photo = DecodeContact(r.image, r.span, fields == &all, unicode).photo;
        EXPECT_EQ(ByteVector(photo.begin(), photo.end()), fields == &png ? ByteVector{} : jpeg);
    }

    // The padding of all three remainders: FF D8 FF E0 -> "/9j/4A==" and so on.
    EXPECT_EQ(Base64Encode(std::span(jpeg).first(4)), "/9j/4A==");
    EXPECT_EQ(Base64Encode(std::span(jpeg).first(5)), "/9j/4AA=");
    EXPECT_EQ(Base64Encode(std::span(jpeg).first(6)), "/9j/4AAQ");
    std::string card = Card({{C::FirstName, "Ann"}}, jpeg);
    EXPECT_EQ(ValueOf(card, "PHOTO"), "data:image/jpeg;base64," + Base64Encode(jpeg));
}

TEST(VCard, UnicodeDecodedContactKeepsEveryCharacter) {
    FieldList fields;
    fields.add(160, testing::Utf16Data(u"王")).add(160, testing::Utf16Data(u"Ωμέγα 😀"));
    fields.text(33, "Caf\xE9").add(192, testing::Utf16Data(u"Заметка"));
    RecordImage r = FieldsImage(fields);
    DecodeContext unicode;
    unicode.text.unicode = true;
    std::string card;
    AppendVCard(DecodeContact(r.image, r.span, false, unicode), {}, "", card);
    EXPECT_EQ(ValueOf(card, "N"), "Ωμέγα 😀;王;;;");
    EXPECT_EQ(ValueOf(card, "ORG"), "Café");
    EXPECT_EQ(ValueOf(card, "NOTE"), "Заметка");
}

TEST(VCard, PythonVobjectReadsTheCards) {
    std::string note;
    for (int i = 0; i < 10; ++i)
        note += "中文 Кириллица 😀; a,b\\c\n";
    std::string text = Card({{C::FirstName, "Ann"},
                             {C::Company, "Acme; Ltd"},
                             {C::Mobile, "555"},
                             {C::Birthday, "1975-03-14"},
                             {C::Notes, note}},
                            ByteVector{0xFF, 0xD8, 0xFF, 0x01}, "x-1@orrelin") +
                       Card({});
    std::string result = testing::CheckWithPython("vobject", R"(
import sys, vobject
cards = list(vobject.readComponents(open(sys.argv[1], encoding='utf-8', newline='').read()))
c = cards[0]
assert len(cards) == 2 and c.fn.value == 'Ann' and cards[1].fn.value == ''
assert c.org.value == ['Acme; Ltd'], c.org.value
assert c.note.value == '中文 Кириллица 😀; a,b\\c\n' * 10, repr(c.note.value)
assert c.tel.params['TYPE'] == ['cell'], c.tel.params
)",
                                                  text);
    if (result.empty()) FAIL() << "no Python with vobject (scripts/install-deps.sh)";
    EXPECT_EQ(result, "ok");
}

}  // namespace
}  // namespace orrelin
