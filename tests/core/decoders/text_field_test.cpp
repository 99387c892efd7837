#include <gtest/gtest.h>

#include "decoders/text_field.h"
#include "ipd/fields.h"
#include "ipd/ipd_builder.h"

namespace orrelin {
namespace {

const TextOptions kSingleByte{};
const TextOptions kUnicode{.unicode = true, .eightBitPage = CodePage::Cp1252};

Bytes View(const ByteVector& v) {
    return {v.data(), v.size()};
}

TEST(EightBitText, OneCharacterPerByteAndOptionalStripping) {
    ByteVector data{'A', '\t', 'B', '\r', '\n', 0x00, 0xE9};
    EXPECT_EQ(EightBitText(View(data), true, kSingleByte), "AB\r\n\xE9");
    EXPECT_EQ(EightBitText(View(data), false, kSingleByte), std::string("A\tB\r\n\0\xE9", 7));
    EXPECT_EQ(EightBitText(View(data), true, kUnicode), "AB\r\n\u00E9");
    EXPECT_EQ(EightBitText(View(data), false, kUnicode), std::string("A\tB\r\n\0\u00E9", 8));
    TextOptions arabic = kUnicode;
    arabic.eightBitPage = CodePage::Cp1256;
    EXPECT_EQ(EightBitText(View(ByteVector{0xC7}), true, arabic), "\u0627");
}

// ASCII runs are scanned sixteen and eight bytes at a time: a byte to drop or convert is found
// at every position of a long text.
TEST(EightBitText, UnicodeFormFindsEveryByteOutsideAsciiAtEveryPosition) {
    const std::pair<std::uint8_t, std::string> specials[] = {
        {0x01, ""},     {0x1F, ""},       {'\t', ""},       {'\r', "\r"},
        {0x7F, "\x7F"}, {0x80, "\u20AC"}, {0xE9, "\u00E9"}, {0xFF, "\u00FF"}};
    for (const auto& [byte, text] : specials) {
        for (std::size_t at = 0; at <= 40; ++at) {
            ByteVector data(40, 'a');
            data.insert(data.begin() + static_cast<std::ptrdiff_t>(at), byte);
            std::string expected(40, 'a');
            expected.insert(at, text);
            EXPECT_EQ(EightBitText(View(data), true, kUnicode), expected) << "at " << at;
        }
    }
}

TEST(SixteenBitText, SkipsTheLeadingByteAndReducesToCodePage1256) {
    EXPECT_EQ(SixteenBitText(View(ByteVector{0x00, 0x00, 0x41, 0x00, 0x42}), kSingleByte), "AB");
    EXPECT_EQ(SixteenBitText(View(ByteVector{0x07, 0x06, 0x27, 0x06, 0x44}), kSingleByte),
              "\xC7\xE1");
    // A tab and a NUL unit go; CR LF stay; a unit the page lacks is a question mark.
    EXPECT_EQ(
        SixteenBitText(View(ByteVector{0, 0, 9, 0, 0x0D, 0, 0x0A, 0x4E, 0x2D, 0, 0}), kSingleByte),
        "\r\n?");
    EXPECT_EQ(SixteenBitText(View(ByteVector{0x00}), kSingleByte), "");
    EXPECT_EQ(SixteenBitText({}, kSingleByte), "");
}

TEST(SixteenBitText, UnicodeFormKeepsEveryCharacter) {
    FieldList f;
    f.utf16(1, u"\u4E2D\u6587 \U0001F600\u0627\t\r\n");
    Bytes data = FindField(View(f.bytes()), 1);
    EXPECT_EQ(SixteenBitText(data, kUnicode), "\u4E2D\u6587 \U0001F600\u0627\r\n");
    EXPECT_EQ(SixteenBitText(data, kSingleByte), "?? ??\xC7\r\n");  // the pair is two units

    // Lone surrogates, in the middle and at the end, and a lone last byte.
    EXPECT_EQ(SixteenBitText(View(ByteVector{0, 0xD8, 0x3D, 0x00, 0x41, 0xDE, 0x00}), kUnicode),
              "\uFFFDA\uFFFD");
    EXPECT_EQ(SixteenBitText(View(ByteVector{0, 0xD8, 0x3D}), kUnicode), "\uFFFD");
    EXPECT_EQ(SixteenBitText(View(ByteVector{0, 0x00, 0x41, 0x42}), kUnicode), "AB");
}

// In a backup from an archive a 16-bit field may hold a zero byte and UTF-8: one case per way
// the two forms are told apart. Outside archives every field is UTF-16.
TEST(SixteenBitText, ZeroThenUtf8IsToldFromUtf16ByItsBytes) {
    const struct {
        const char* name;
        ByteVector data;
        bool utf8;
        std::string text;  // in full Unicode, read as in an archive
    } cases[] = {
        {"Latin UTF-16: a zero high byte", {0, 0x00, 'J', 0x00, 'o'}, false, "Jo"},
        {"Cyrillic UTF-16: high byte 0x04", {0, 0x04, 0x1F, 0x04, 0x40}, false, "Пр"},
        {"Arabic UTF-16: high byte 0x06", {0, 0x06, 0x27, 0x06, 0x44}, false, "ال"},
        {"CJK UTF-16: no well-formed UTF-8", {0, 0x4E, 0x2D, 0x65, 0x87}, false, "中文"},
        {"leading byte not zero", {1, 'J', 'o', 'h', 'n'}, false, "䩯桮"},
        {"UTF-8, even count", {0, 'J', 'o', 'h', 'n'}, true, "John"},
        {"UTF-8, odd count", {0, 'A', 'n', 'n'}, true, "Ann"},
        {"UTF-8 Cyrillic", {0, 0xD0, 0x9F, 0xD1, 0x80}, true, "Пр"},
        {"UTF-8 with line breaks and closing zeros",
         {0, 'a', '\r', '\n', 'b', 0, 0},
         true,
         "a\r\nb"},
    };
    for (const auto& c : cases) {
        const Bytes data = View(c.data);
        EXPECT_EQ(IsZeroThenUtf8(data), c.utf8) << c.name;
        TextOptions archive = kUnicode;
        archive.wideMayBeUtf8 = true;
        EXPECT_EQ(SixteenBitText(data, archive), c.text) << c.name;
        // A bare IPD file's reading: the same for UTF-16, another for UTF-8.
        EXPECT_EQ(SixteenBitText(data, kUnicode) == c.text, !c.utf8) << c.name;
    }
    // The tree's single-byte form: code page 1256, '?' for what it lacks.
    const ByteVector latinGreek{0, 'Z', 'o', 0xC3, 0xAB, 0xCE, 0xB1};
    EXPECT_EQ(SixteenBitText(View(latinGreek), TextOptions{.wideMayBeUtf8 = true}), "Zo\xEB?");
}

TEST(TextField, SixteenBitFieldWinsWhenItHasData) {
    FieldList both;
    both.text(2, "eight\tbit").utf16(130, u"wide");
    EXPECT_EQ(TextField(View(both.bytes()), 2, true, kSingleByte), "wide");

    FieldList eight;
    eight.text(2, "eight\tbit");
    EXPECT_EQ(TextField(View(eight.bytes()), 2, true, kSingleByte), "eightbit");
    EXPECT_EQ(TextField(View(eight.bytes()), 2, false, kSingleByte), "eight\tbit");
    EXPECT_EQ(TextField(View(eight.bytes()), 3, true, kSingleByte), "");

    // A 16-bit field holding only its leading byte still counts: the 8-bit one is not read.
    FieldList leadOnly;
    leadOnly.text(2, "eight").add(130, {0x00});
    EXPECT_EQ(TextField(View(leadOnly.bytes()), 2, true, kSingleByte), "");
    // An empty 16-bit field does not count.
    FieldList empty;
    empty.add(130, {}).text(2, "eight");
    EXPECT_EQ(TextField(View(empty.bytes()), 2, true, kSingleByte), "eight");
}

TEST(TextField, PairWithItsOwnSixteenBitType) {
    FieldList f;
    f.text(3, "room").utf16(131, u"notes");
    EXPECT_EQ(TextFieldPair(View(f.bytes()), 3, 132, false, kSingleByte), "room");
    EXPECT_EQ(TextFieldPair(View(f.bytes()), 4, 131, false, kSingleByte), "notes");
}

}  // namespace
}  // namespace orrelin
