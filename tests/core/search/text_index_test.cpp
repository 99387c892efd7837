#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/export/export_fixture.h"
#include "ipd/ipd_builder.h"
#include "ipd/loader.h"
#include "kinds/labels.h"
#include "kinds/record_kinds.h"
#include "search/fold.h"
#include "search/text_index.h"

namespace orrelin {
namespace {

struct FoldCase {
    const char* name;
    std::string text;
    std::string folded;
};

class FoldTest : public ::testing::TestWithParam<FoldCase> {};

TEST_P(FoldTest, Folds) {
    EXPECT_EQ(Folded(GetParam().text), GetParam().folded);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FoldTest,
    ::testing::Values(FoldCase{"Ascii", "Hello WORLD 42", "hello world 42"},
                      FoldCase{"Latin1Accents",
                               "\xC3\x89"
                               "cole \xC3\x80 l\xC3\xA0",
                               "ecole a la"},
                      FoldCase{"SharpSAndLigature",
                               "Stra\xC3\x9F"
                               "e \xC3\x86",
                               "strasse ae"},
                      FoldCase{"LatinExtendedA",
                               "\xC5\x81\xC3\xB3"
                               "d\xC5\xBA",
                               "lodz"},
                      FoldCase{"CombiningMark", "e\xCC\x81t\xC3\xA9", "ete"},
                      // مُحَمَّد: tashkeel between the letters
                      FoldCase{"ArabicTashkeel",
                               "\xD9\x85\xD9\x8F\xD8\xAD\xD9\x8E\xD9\x85\xD9\x91\xD9\x8E\xD8\xAF",
                               "\xD9\x85\xD8\xAD\xD9\x85\xD8\xAF"},
                      // كـتـاب: tatweel between the letters
                      FoldCase{"ArabicTatweel", "\xD9\x83\xD9\x80\xD8\xAA\xD9\x80\xD8\xA7\xD8\xA8",
                               "\xD9\x83\xD8\xAA\xD8\xA7\xD8\xA8"},
                      FoldCase{"ArabicIndicDigits", "\xD9\xA0\xD9\xA5\xDB\xB9", "059"},
                      FoldCase{"Greek", "\xCE\x86\xCE\xA3", "\xCE\xB1\xCF\x83"},
                      FoldCase{"Cyrillic", "\xD0\x81\xD0\x96", "\xD0\xB5\xD0\xB6"},
                      FoldCase{"NoBreakSpaceAndDash",
                               "1\xC2\xA0"
                               "2\xE2\x80\x93"
                               "3",
                               "1 2-3"},
                      FoldCase{"NulDropped", std::string("a\0b", 3), "ab"},
                      FoldCase{"BrokenUtf8PassesUnchanged",
                               "a\xFF"
                               "B",
                               "a\xFF"
                               "b"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(FoldTest, TellsWhetherTheTextHoldsADigit) {
    const std::pair<std::string, bool> cases[] = {
        {"no digits at all here", false},  // eight bytes at a time
        {"abcdefgh1", true},               // the last one by itself
        {"12345678", true},                // in an eight-byte step
        {"\xD9\xA1", true},                // an Arabic-Indic digit
    };
    for (const auto& [text, digits] : cases) {
        char out[32];
        bool found = !digits;
        FoldInto(out, text, found);
        EXPECT_EQ(found, digits) << text;
    }
}

// Texts are folded eight bytes at a time, their last few bytes as one padded word: a capital,
// a NUL, an accented letter or a digit at every place of texts up to two words long.
TEST(FoldTest, FoldsEveryPlaceOfShortTexts) {
    const struct {
        std::string in;
        std::string out;
    } specials[] = {{"Q", "q"}, {std::string(1, '\0'), ""}, {"\xC3\x89", "e"}, {"7", "7"}};
    for (const auto& special : specials) {
        for (std::size_t length = 0; length <= 16; ++length) {
            for (std::size_t at = 0; at <= length; ++at) {
                const std::string text =
                    std::string(at, 'a') + special.in + std::string(length - at, 'B');
                char out[40];
                bool digits = false;
                const char* end = FoldInto(out, text, digits);
                const std::string folded(static_cast<const char*>(out), end);
                EXPECT_EQ(folded,
                          std::string(at, 'a') + special.out + std::string(length - at, 'b'))
                    << length << " " << at;
                EXPECT_EQ(digits, special.in == "7") << length << " " << at;
            }
        }
    }
}

TEST(PhoneDigitsTest, KeepsOnlyNumbersWrittenLikePhoneNumbers) {
    EXPECT_EQ(PhoneDigits("+1 (555) 010-4477"), "15550104477");
    EXPECT_EQ(PhoneDigits("555.0104"), "5550104");
    EXPECT_EQ(PhoneDigits("555x"), "");
    EXPECT_EQ(PhoneDigits("+ -"), "");
    EXPECT_EQ(PhoneDigits(""), "");
}

TEST(PhoneDigitsTest, RunsAreNumbersWithPunctuationBetweenDigits) {
    std::string out;
    AppendPhoneDigitRuns(out, "call +1 (555) 010-4477, room 12, 2024 or 3.5", '|');
    EXPECT_EQ(out, "15550104477|35|");
}

// Name-table positions in the fixture below.
enum : std::uint16_t { kMemos, kContacts };

ByteVector Memo(std::string_view title, std::u16string_view body) {
    FieldList fields;
    fields.text(1, title, true).utf16(130, body);
    return fields.bytes();
}

ByteVector Contact(std::string_view first, std::string_view last, std::string_view mobile) {
    FieldList fields;
    fields.text(32, first, true).text(32, last, true).text(8, mobile, true);
    return fields.bytes();
}

// Records in file order: 0 memo, 1 contact, 2 memo, 3 memo. In tree order the memos come
// first: 0, 2, 3, then 1.
struct Fixture {
    IpdImage image;
    RecordIndex index;

    Fixture() {
        IpdBuilder b;
        b.database("Memos");
        b.database("Address Book");
        b.record(kMemos, Memo("R\xE9union", u"Bring the KEYS"));
        b.record(kContacts, Contact("Anne", "Ebert", "+1 (555) 010-4477"), 2);
        b.record(kMemos, Memo("Tea", u"\u0645\u064F\u062D\u064E\u0645\u0651\u064E\u062F comes"), 3);
        b.record(kMemos, Memo("Numbers", u"room 12, floor 34"), 4);
        image = IpdImage(b.build());
        index = BuildDatabaseNodes(image, "test.ipd");
    }
};

struct SearchCase {
    const char* name;
    std::string query;
    std::vector<SearchMatch> matches;
};

class SearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchTest, FindsTheRecords) {
    Fixture f;
    ASSERT_EQ(f.index.records.size(), 4u);
    for (unsigned threads : {1u, 3u}) {
        TextIndexOptions options;
        options.threads = threads;
        const TextIndex index = TextIndex::Build(f.image, f.index, options);
        EXPECT_EQ(index.recordCount(), 4u);
        EXPECT_EQ(index.search(GetParam().query), GetParam().matches) << threads << " threads";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Queries, SearchTest,
    ::testing::Values(
        SearchCase{"TitleWithoutAccent", "reunion", {{0, 0}}},
        SearchCase{"LabelSayingMoreThanAValue", "anne eb", {{1, kLabelField}}},
        SearchCase{"ValueInOtherCase", "keys", {{0, 1}}},
        SearchCase{"ArabicWithoutDiacritics", "\xD9\x85\xD8\xAD\xD9\x85\xD8\xAF", {{2, 1}}},
        SearchCase{"DigitsAcrossPunctuation", "5550104477", {{1, 10}}},
        SearchCase{"PunctuatedQuery", "(555) 0104", {{1, 10}}},
        SearchCase{"NumbersOfDifferentStretchesStayApart", "1234", {}},
        SearchCase{"InTreeOrderOneMatchARecord", "e", {{0, 0}, {2, 0}, {3, 0}, {1, 1}}},
        SearchCase{"NoMatch", "absent", {}}, SearchCase{"EmptyQuery", "", {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(TextIndexTest, CancelledBuildGivesAnEmptyIndex) {
    Fixture f;
    std::atomic<bool> cancel{true};
    std::atomic<std::uint64_t> progress{0};
    TextIndexOptions options;
    options.cancel = &cancel;
    options.progress = &progress;
    EXPECT_EQ(TextIndex::Build(f.image, f.index, options).recordCount(), 0u);
    EXPECT_TRUE(TextIndex::Build(f.image, f.index, options).search("keys").empty());
}

TEST(TextIndexTest, ReportsProgressInRecords) {
    Fixture f;
    std::atomic<std::uint64_t> progress{0};
    TextIndexOptions options;
    options.progress = &progress;
    EXPECT_EQ(TextIndex::Build(f.image, f.index, options).recordCount(), 4u);
    EXPECT_EQ(progress.load(), 4u);
}

// The index leaves out the labels of the kinds whose label is one of their values: every
// record of every kind but contacts and calls shows that it is.
TEST(TextIndexTest, LabelsLeftOutAreValues) {
    const IpdImage image(testing::FixtureBackup());
    const RecordIndex index = BuildDatabaseNodes(image, "fixture.ipd");
    ASSERT_GT(index.records.size(), 8u);
    DecodeContext context;
    context.text.unicode = true;
    context.displayTimes = false;
    RecordValues values;
    for (const RecordEntry& entry : index.records) {
        const KnownDb db = *index.databases[entry.database].db;
        const DatabaseKind& kind = KindOf(db);
        if (kind.kind == RecordKind::Address || kind.kind == RecordKind::PhoneCall) continue;
        const auto body = image.range(entry.span.start, entry.span.end);
        ASSERT_TRUE(body);
        const std::string label = UnicodeLabel(db, *body, context.text);
        DecodeRecord(image, db, entry.span, context, values);
        bool found = false;
        for (const FieldRow& field : KindInfoOf(db).fields)
            found = found || values.texts[field.slot].find(label) != std::string::npos;
        EXPECT_TRUE(found) << NameOf(db) << ": " << label;
    }
}

TEST(TextIndexTest, FieldCaptions) {
    DatabaseNode memos;
    memos.db = KnownDb::Memos;
    DatabaseNode contacts;
    contacts.db = KnownDb::AddressBook;
    DatabaseNode other;
    other.otherName = "Folders";
    EXPECT_EQ(FieldCaption(memos, kLabelField), "Label");
    EXPECT_EQ(FieldCaption(memos, 0), "Title");
    EXPECT_EQ(FieldCaption(memos, 1), "Memo");
    EXPECT_EQ(FieldCaption(contacts, 10), "Mobile");
    EXPECT_EQ(FieldCaption(other, 1), "Raw Field 2");
}

}  // namespace
}  // namespace orrelin
