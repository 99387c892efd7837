#include <gtest/gtest.h>

#include <random>

#include "base/paths.h"
#include "core/support/hex_text.h"
#include "ipd/fields.h"
#include "text/utf16.h"

namespace orrelin {
namespace {

TEST(HexToLong, ReadsTheLastEightDigitsAsTwosComplement) {
    EXPECT_EQ(HexToLong(""), 0);
    EXPECT_EQ(HexToLong("1FF"), 511);
    EXPECT_EQ(HexToLong("1ff"), 511);
    EXPECT_EQ(HexToLong("123456789"), HexToLong("23456789"));
    EXPECT_EQ(HexToLong("FFFFFFFF"), -1);
    EXPECT_EQ(HexToLong("80000000"), INT32_MIN);
    EXPECT_FALSE(HexToLong("0G").has_value());
}

TEST(HexForms, NumberByteAndWordForms) {
    EXPECT_EQ(NumberToEvenHex(5), "05");
    EXPECT_EQ(NumberToEvenHex(255), "FF");
    EXPECT_EQ(NumberToEvenHex(300), "012C");
    EXPECT_EQ(NumberToEvenHex(0x12345), "12345");
    EXPECT_EQ(NumberToEvenHex(0), "00");
    EXPECT_EQ(ByteToHex(300), "2C");
    EXPECT_EQ(ByteToHex(0), "00");
    EXPECT_EQ(ByteToHex(-1), "FF");
    EXPECT_EQ(WordToLeHex("7"), "0700");
    EXPECT_EQ(WordToLeHex("1F"), "1F00");
    EXPECT_EQ(WordToLeHex("12C"), "2C01");
    EXPECT_EQ(WordToLeHex("ABCD"), "CDAB");
    EXPECT_EQ(WordToLeHex("12345"), "");
    EXPECT_EQ(WordToLeHex(""), "");
    EXPECT_EQ(WordToLeHex(WordToLeHex("3")), "0003");
}

TEST(HexForms, ReverseKeepsALoneLastCharacterFirst) {
    EXPECT_EQ(ReverseHexBytes("0A1B2C"), "2C1B0A");
    EXPECT_EQ(ReverseHexBytes("0102030"), "0030201");
    EXPECT_EQ(ReverseHexBytes(""), "");
}

TEST(TextForms, HexTextAndBytesRoundTripEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    std::string hex = TextToHex(all);
    EXPECT_EQ(hex.size(), 512u);
    EXPECT_EQ(HexToText(hex), all);
    auto bytes = HexToBytes(hex);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), all);
    EXPECT_EQ(HexToText("414"), std::string("A\x04"));  // a lone digit is a group of its own
    EXPECT_FALSE(HexToBytes("4X").has_value());
}

TEST(TextForms, UnicodeUnitsReduceToCodePage1256) {
    // A, ALEF (0xC7 in 1256), and a short last group 00.
    EXPECT_EQ(UnicodeHexToText("0041062700"), std::string("A\xC7\0", 3));
    EXPECT_EQ(UnicodeHexToText("4E2D"), "?");  // a Chinese character has no code here
    EXPECT_EQ(UnicodeHexToText("20AC"), "\x80");
}

TEST(TextForms, StripControlCharsKeepsLineBreaksOnlyWhenAsked) {
    std::string text("A\tB\r\n\0", 6);
    EXPECT_EQ(StripControlChars(text, false), "AB");
    EXPECT_EQ(StripControlChars(text, true), "AB\r\n");
    EXPECT_EQ(StripControlChars("\x7F\xC7", false), "\x7F\xC7");
}

TEST(FindFieldHex, SkipsFieldsOfOtherTypes) {
    const std::string fields =
        "030002414243"
        "020003585900";
    EXPECT_EQ(FindFieldHex(fields, 3, 0), "5859");
    EXPECT_EQ(FindFieldHex(fields, 2, 0), "414243");
    EXPECT_EQ(FindFieldHex(fields, 7, 0), "");
}

TEST(FindFieldHex, ModeTwoWantsTheDirectlyFollowingField) {
    EXPECT_EQ(FindFieldHex("01000241"
                           "01000242",
                           2, 2),
              "42");
    EXPECT_EQ(FindFieldHex("01000241"
                           "01000343"
                           "01000242",
                           2, 2),
              "");
    EXPECT_EQ(FindFieldHex("01000241", 2, 2), "");
}

TEST(FindFieldHex, LengthsPastTheEndYieldWhatIsThere) {
    EXPECT_EQ(FindFieldHex("0500024142", 2, 0), "4142");
    EXPECT_EQ(FindFieldHex("050003414201000242", 2, 0), "");  // the skip runs off the end
    EXPECT_EQ(FindFieldHex("0000", 2, 0), "");
    EXPECT_EQ(FindFieldHex("000002", 2, 0), "");
}

// The byte form answers exactly as the hex form on every run of fields a record can hold.
TEST(FindField, AgreesWithTheHexFormOnRandomRuns) {
    std::mt19937 random(7);
    for (int round = 0; round < 4000; ++round) {
        std::vector<std::uint8_t> bytes(random() % 24);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random() % 5);  // small lengths, types
        std::string hex = BytesToHex(bytes);
        for (std::uint8_t type = 0; type < 5; ++type) {
            for (int mode : {0, 2}) {
                const Bytes found =
                    mode == 2 ? FindSecondField(bytes, type) : FindField(bytes, type);
                EXPECT_EQ(BytesToHex(found), FindFieldHex(hex, type, mode))
                    << hex << " type " << int(type) << " mode " << mode;
            }
        }
    }
}

TEST(ByteForms, AgreeWithTheTextForms) {
    std::vector<std::uint8_t> bytes{0x06, 0x27, 0x00, 0x41, 0x4E, 0x2D, 0x00};
    EXPECT_EQ(Utf16BeToText(bytes), UnicodeHexToText(BytesToHex(bytes)));
    EXPECT_EQ(BytesToText(bytes), HexToText(BytesToHex(bytes)));
    EXPECT_EQ(BytesToStrippedText(bytes, true), StripControlChars(BytesToText(bytes), true));
}

TEST(Paths, FolderAndFileName) {
    EXPECT_EQ(FolderOfPath("/backup/a.ipd"), "/backup/");
    EXPECT_EQ(FolderOfPath("a.ipd"), "");
    EXPECT_EQ(FileNameOfPath("/backup/a.ipd"), "a.ipd");
    EXPECT_EQ(FileNameOfPath("a.ipd"), "a.ipd");
    EXPECT_EQ(FolderOfPath("/a.ipd"), "/");
}

}  // namespace
}  // namespace orrelin
