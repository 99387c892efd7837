// The JSON writer: escapes, invalid UTF-8, instants, and round trips through Python's parser.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/export/python_run.h"
#include "export/json_writer.h"

namespace orrelin {
namespace {

std::string Quoted(std::string_view text) {
    std::string out;
    AppendJsonString(out, text);
    return out;
}

// Python's json parser over `document` (an array of strings): the strings it read, as UTF-8;
// nothing when it refuses the document.
std::optional<std::vector<std::string>> ParsedByPython(const std::string& document) {
    auto out = testing::RunPython(
        "import json, sys\n"
        "for s in json.load(open(sys.argv[1], encoding='utf-8')):\n"
        "    print(s.encode('utf-8').hex())\n",
        document);
    if (!out) return std::nullopt;
    // One string a line, as the hex digits of its UTF-8 bytes.
    std::vector<std::string> strings(1);
    for (std::size_t i = 0; i < out->size(); ++i) {
        if ((*out)[i] == '\n') {
            strings.emplace_back();
        } else if (i + 1 < out->size()) {
            strings.back().push_back(static_cast<char>(std::stoi(out->substr(i, 2), nullptr, 16)));
            ++i;
        }
    }
    strings.pop_back();
    return strings;
}

using namespace std::string_literals;

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(Quoted(""), "\"\"");
    EXPECT_EQ(Quoted("say \"hi\" \\ bye"), R"("say \"hi\" \\ bye")");
    EXPECT_EQ(Quoted("a\r\nb\tc\bd\fe"), R"("a\r\nb\tc\bd\fe")");
    EXPECT_EQ(Quoted(std::string_view("\x00\x01\x1F\x7F", 4)), R"("\u0000\u0001\u001f)"
                                                               "\x7F\"");
    // Well-formed UTF-8 passes unchanged, slash included.
    EXPECT_EQ(Quoted("a/b Привет 你好 \U0001F600"), "\"a/b Привет 你好 \U0001F600\"");
}

TEST(JsonString, EveryByteOutsideWellFormedUtf8BecomesAReplacementCharacter) {
    const std::string kFffd = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"\xFF", kFffd},                                      // never in UTF-8
        {"a\x80z", "a" + kFffd + "z"},                        // a lone continuation byte
        {"\xC3", kFffd},                                      // cut short at the end
        {"\xC3(", kFffd + "("},                               // cut short by ASCII
        {"\xC0\xAF", kFffd + kFffd},                          // overlong "/"
        {"\xE0\x80\xAF", kFffd + kFffd + kFffd},              // overlong, three bytes
        {"\xED\xA0\x80", kFffd + kFffd + kFffd},              // a surrogate
        {"\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd},  // above U+10FFFF
        {"\xF0\x9F\x98", kFffd + kFffd + kFffd},              // a four-byte sequence cut short
        {"\xE9t\xE9", kFffd + "t" + kFffd},                   // 1252 text taken for UTF-8
    };
    for (const auto& [input, inside] : cases)
        EXPECT_EQ(Quoted(input), "\"" + inside + "\"") << input;
}

// Plain runs are scanned eight bytes at a time: a character to escape or check is found at
// every position of a long text.
TEST(JsonString, FindsWhatNeedsEscapingAtEveryPosition) {
    const std::pair<std::string, std::string> specials[] = {
        {"\"", "\\\""},      {"\\", "\\\\"},   {"\x01", "\\u0001"},      {"\n", "\\n"},
        {"\x1F", "\\u001f"}, {"\x7F", "\x7F"}, {"\xC3\xA9", "\xC3\xA9"}, {"\xFF", "\xEF\xBF\xBD"},
        {" ", " "},          {"~", "~"}};
    for (const auto& [raw, escaped] : specials) {
        for (std::size_t at = 0; at <= 24; ++at) {
            std::string text(24, 'a');
            std::string expected = "\"" + text + "\"";
            text.insert(at, raw);
            expected.insert(1 + at, escaped);
            EXPECT_EQ(Quoted(text), expected) << "at " << at;
        }
    }
}

TEST(JsonString, RoundTripsThroughPythonsParser) {
    if (!testing::PythonHas("json")) FAIL() << "python3 is not available (scripts/install-deps.sh)";
    const std::vector<std::string> texts = {
        "",
        "plain",
        "quote \" backslash \\ slash /",
        "controls \x01\x02\x1F and NUL \x00 inside"s,
        "CR\rLF\nCRLF\r\nTAB\t",
        "Arabic \u0645\u0631\u062D\u0628\u0627",
        "Cyrillic \u041F\u0440\u0438\u0432\u0435\u0442, Greek "
        "\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1",
        "Chinese \u4F60\u597D, emoji \U0001F600\U0001F44D\U0001F3FD",
        "line separator \u2028 and BOM \uFEFF",
    };
    std::string document;
    JsonWriter json(document);
    json.beginArray();
    for (const auto& text : texts)
        json.string(text);
    json.endArray();
    auto parsed = ParsedByPython(document);
    ASSERT_TRUE(parsed) << document;
    EXPECT_EQ(*parsed, texts);

    // Invalid UTF-8 still gives a document the parser takes.
    std::string broken;
    JsonWriter b(broken);
    b.beginArray();
    b.string("\xFF\xFE broken \xC3");
    b.endArray();
    auto repaired = ParsedByPython(broken);
    ASSERT_TRUE(repaired);
    EXPECT_EQ(*repaired, std::vector<std::string>{"\uFFFD\uFFFD broken \uFFFD"});
}

TEST(JsonWriter, CommasBetweenMembersAndElementsOnly) {
    std::string out;
    JsonWriter json(out);
    json.beginObject();
    json.member("a", std::int64_t{-12});
    json.key("list");
    json.beginArray();
    json.beginObject();
    json.endObject();
    json.newline();
    json.beginArray();
    json.endArray();
    json.boolean(true);
    json.null();
    json.endArray();
    json.member("s", "x");
    json.endObject();
    EXPECT_EQ(out, "{\"a\":-12,\"list\":[{},\n[],true,null],\"s\":\"x\"}");
}

TEST(JsonWriter, InstantsAsUtcTextOrNull) {
    EXPECT_EQ(IsoUtc(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(IsoUtc(1256592300), "2009-10-26T21:25:00Z");
    EXPECT_EQ(IsoUtc(951782400), "2000-02-29T00:00:00Z");  // a leap day of a century year
    EXPECT_EQ(IsoUtc(-60), "1969-12-31T23:59:00Z");
    EXPECT_EQ(IsoUtc(2147483647LL * 60), "6053-01-23T02:07:00Z");
    EXPECT_EQ(IsoUtc(253402300799), "9999-12-31T23:59:59Z");
    EXPECT_EQ(IsoUtc(-62167219200), "0000-01-01T00:00:00Z");
    EXPECT_EQ(IsoUtc(253402300800), std::nullopt);
    EXPECT_EQ(IsoUtc(-62167219201), std::nullopt);

    std::string out;
    JsonWriter json(out);
    json.beginArray();
    json.instant(0);
    json.instant(std::nullopt);
    json.instant(281474976710);  // six bytes FF of milliseconds: past the year 9999
    json.endArray();
    EXPECT_EQ(out, "[\"1970-01-01T00:00:00Z\",null,null]");
}

}  // namespace
}  // namespace orrelin
