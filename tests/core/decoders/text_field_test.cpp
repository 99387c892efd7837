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

// ASCII runs are scanned eight bytes at a time: a byte to drop or convert is found at every
// position of a long text.
TEST(EightBitText, UnicodeFormFindsEveryByteOutsideAsciiAtEveryPosition) {
    const std::pair<std::uint8_t, std::string> specials[] = {
        {0x01, ""},     {0x1F, ""},       {'\t', ""},       {'\r', "\r"},
        {0x7F, "\x7F"}, {0x80, "\u20AC"}, {0xE9, "\u00E9"}, {0xFF, "\u00FF"}};
    for (const auto& [byte, text] : specials) {
        for (std::size_t at = 0; at <= 20; ++at) {
            ByteVector data(20, 'a');
            data.insert(data.begin() + static_cast<std::ptrdiff_t>(at), byte);
            std::string expected(20, 'a');
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
