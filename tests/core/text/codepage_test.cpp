// The code page tables against Python's codecs, and the names a user gives a page.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "text/codepage.h"

namespace orrelin {
namespace {

// Python's reading of bytes 0x80-0xFF in `codec`: one number a line, -1 where the page leaves
// the byte undefined. Empty when python3 cannot be run.
std::string PythonHighHalf(const std::string& codec) {
    std::string command =
        "python3 -c \"import sys\nfor b in range(128, 256):\n"
        "    try: print(ord(bytes([b]).decode(sys.argv[1])))\n"
        "    except UnicodeDecodeError: print(-1)\" " +
        codec + " 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    if (::pclose(pipe) != 0) return {};
    return out;
}

TEST(CodePage, TablesMatchPythonsCodecs) {
    const std::pair<CodePage, std::string> pages[] = {{CodePage::Cp1252, "cp1252"},
                                                      {CodePage::Cp1251, "cp1251"},
                                                      {CodePage::Cp1250, "cp1250"},
                                                      {CodePage::Cp1253, "cp1253"},
                                                      {CodePage::Cp1256, "cp1256"}};
    for (const auto& [page, codec] : pages) {
        std::string expected = PythonHighHalf(codec);
        if (expected.empty()) FAIL() << "python3 is not available (scripts/install-deps.sh)";
        std::istringstream lines(expected);
        for (unsigned b = 0x80; b < 0x100; ++b) {
            long code = 0;
            ASSERT_TRUE(lines >> code) << codec;
            // A byte the page leaves undefined stands for the C1 control of its number.
            const long want = code < 0 ? static_cast<long>(b) : code;
            EXPECT_EQ(static_cast<long>(CodePageToUnicode(page, static_cast<std::uint8_t>(b))),
                      want)
                << codec << " byte " << b;
        }
        for (unsigned b = 0; b < 0x80; ++b)
            EXPECT_EQ(CodePageToUnicode(page, static_cast<std::uint8_t>(b)), b);
    }
}

TEST(CodePage, NamesByNumberWithOrWithoutPrefixInAnyCase) {
    EXPECT_EQ(CodePageByName("1252"), CodePage::Cp1252);
    EXPECT_EQ(CodePageByName("1251"), CodePage::Cp1251);
    EXPECT_EQ(CodePageByName("cp1251"), CodePage::Cp1251);
    EXPECT_EQ(CodePageByName("CP1250"), CodePage::Cp1250);
    EXPECT_EQ(CodePageByName("windows-1251"), CodePage::Cp1251);
    EXPECT_EQ(CodePageByName("Windows-1256"), CodePage::Cp1256);
    EXPECT_EQ(CodePageByName("cp1253"), CodePage::Cp1253);
    for (const char* unknown : {"", "1254", "cp", "windows-", "utf-8", "12511", " 1251", "cp-1"})
        EXPECT_EQ(CodePageByName(unknown), std::nullopt) << unknown;
}

TEST(CodePage, EightBitTextThroughTheChosenPage) {
    // "Привет" in 1251, "Łódź" in 1250: the same bytes read otherwise in 1252.
    EXPECT_EQ(SingleByteToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2", CodePage::Cp1251),
              "\u041F\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(SingleByteToUtf8("\xA3\xF3\x64\x9F", CodePage::Cp1250), "\u0141\u00F3d\u017A");
    EXPECT_EQ(SingleByteToUtf8("\xA3\xF3\x64\x9F", CodePage::Cp1252), "\u00A3\u00F3d\u0178");
}

TEST(CodePage, Utf8SequencesAreTakenOnlyWhenWellFormed) {
    EXPECT_EQ(Utf8SequenceLength("A"), 1u);
    EXPECT_EQ(Utf8SequenceLength("\xC3\xA9"), 2u);          // é
    EXPECT_EQ(Utf8SequenceLength("\xE4\xB8\x96x"), 3u);     // 世, then more text
    EXPECT_EQ(Utf8SequenceLength("\xF0\x9F\x98\x80"), 4u);  // 😀
    for (const char* bad : {"", "\x80", "\xC0\xAF", "\xC3", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xF0\x9F\x98", "\xF8\x88\x80\x80\x80"})
        EXPECT_EQ(Utf8SequenceLength(bad), 0u) << testing::PrintToString(std::string(bad));
}

TEST(CodePage, Utf8DecodesToTheCodePointOfEachWellFormedSequence) {
    struct Case {
        const char* text;
        char32_t code;
        std::size_t length;
    };
    for (const Case& c : {Case{"A", U'A', 1}, Case{"\xC3\xA9", 0xE9, 2},
                          Case{"\xE4\xB8\x96x", 0x4E16, 3}, Case{"\xF0\x9F\x98\x80", 0x1F600, 4}}) {
        auto decoded = DecodeUtf8(c.text);
        ASSERT_TRUE(decoded) << c.text;
        EXPECT_EQ(decoded->code, c.code) << c.text;
        EXPECT_EQ(decoded->length, c.length) << c.text;
    }
    EXPECT_FALSE(DecodeUtf8("\xC1\x81"));
}

TEST(CodePage, Utf8ReachesPage1256OnlyWhenWellFormedAndHeldThere) {
    EXPECT_EQ(Utf8ToCp1256(""), "");
    EXPECT_EQ(Utf8ToCp1256("Ab ?\xD8\xB3"), "Ab ?\xD3");  // Arabic seen
    // One case per way to fail: overlong forms (of "A" and "/"), a surrogate, a cut sequence,
    // a stray continuation byte, a character the page lacks, one beyond 16 bits.
    for (const char* refused : {"\xC1\x81", "\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xC1",
                                "\xED\xA0\x80", "x\xD8", "\x80", "\xC3\xB1", "\xF0\x9F\x98\x80"}) {
        EXPECT_FALSE(Utf8ToCp1256(refused)) << testing::PrintToString(std::string(refused));
    }
}

}  // namespace
}  // namespace orrelin
