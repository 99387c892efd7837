#include <gtest/gtest.h>

#include "decoders/call_decoder.h"
#include "record_image.h"

namespace orrelin {
namespace {

using testing::FieldsImage;
using testing::RecordImage;
using testing::Utf16Data;

const DecodeContext kContext{};

CallRecord Decode(const FieldList& fields, const DecodeContext& context = kContext) {
    RecordImage r = FieldsImage(fields);
    return DecodeCall(r.image, r.span, context);
}

TEST(DecodeCall, DirectionAndStatusWords) {
    const std::pair<ByteVector, const char*> directions[] = {
        {{0x00}, "Received Call"},      {{0x01}, "Placed Call"},
        {{0x02}, "Missed Call"},        {{0x05}, ""},
        {{0xFF, 0xFF, 0xFF, 0xFF}, ""}, {{0x00, 0x01}, ""},
    };
    for (const auto& [data, word] : directions) {
        FieldList f;
        f.add(2, data);
        EXPECT_EQ(Decode(f)[CallRecord::Direction], word);
    }
    const std::pair<ByteVector, const char*> statuses[] = {
        {{0x00}, ""},
        {{0x01}, "Busy"},
        {{0x02}, "Error: Call Failed"},
        {{0xFF}, "Error: Call Failed"},
    };
    for (const auto& [data, word] : statuses) {
        FieldList f;
        f.add(6, data);
        EXPECT_EQ(Decode(f)[CallRecord::Status], word);
    }
}

TEST(DecodeCall, MissingFieldsReadAsZero) {
    CallRecord c = Decode({});
    EXPECT_EQ(c[CallRecord::Direction], "Received Call");
    EXPECT_EQ(c[CallRecord::Status], "");
    EXPECT_EQ(c[CallRecord::Duration], "0:0");
    EXPECT_EQ(c[CallRecord::Date], "1/1/1970 3:00:00 AM");
    EXPECT_EQ(c[CallRecord::Name], "");
    EXPECT_EQ(c[CallRecord::Number], "");
}

TEST(DecodeCall, DurationInMinutesAndSecondsUnpadded) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {59, "0:59"}, {60, "1:0"}, {125, "2:5"}, {3601, "60:1"}, {-125, "-2:-5"}, {-1, "0:-1"},
    };
    for (const auto& [seconds, text] : cases) {
        FieldList f;
        f.le(3, static_cast<std::uint64_t>(seconds), 4);
        EXPECT_EQ(Decode(f)[CallRecord::Duration], text) << seconds;
    }
    FieldList min;
    min.le(3, 0x80000000, 4);
    EXPECT_EQ(Decode(min)[CallRecord::Duration], "-35791394:-8");
}

TEST(DecodeCall, EightByteMillisecondTime) {
    FieldList f;
    f.add(4, {0xE0, 0xD7, 0xBC, 0x92, 0x24, 0x01, 0x00, 0x00, 0x77});
    EXPECT_EQ(Decode(f)[CallRecord::Date], "10/27/2009 12:25:00 AM");
    FieldList huge;
    huge.add(4, ByteVector(8, 0xFF));
    EXPECT_EQ(Decode(huge)[CallRecord::Date], "");
}

TEST(DecodeCall, TheInstantIsTheStoredCountWithoutTheDisplayOffset) {
    DecodeContext west;
    west.timeZoneText = "-5";
    FieldList f;
    f.add(4, {0xE0, 0xD7, 0xBC, 0x92, 0x24, 0x01, 0x00, 0x00}).le(3, 125, 4);
    CallRecord c = Decode(f, west);
    EXPECT_EQ(c.timeUtc, std::optional<std::int64_t>(1256592300));  // 2009-10-26 21:25:00 UTC
    EXPECT_EQ(c.durationSeconds, 125);
    // No time field: the date shows the conversion base, but there is no instant.
    EXPECT_EQ(Decode({}).timeUtc, std::nullopt);
}

TEST(DecodeCall, NameFallsBackToTheNumber) {
    FieldList named;
    named.text(31, "Ann\x01Lee")
        .text(12,
              "+44\x01"
              "123");
    CallRecord n = Decode(named);
    EXPECT_EQ(n[CallRecord::Name], "Ann\x01Lee");  // the 8-bit name keeps control characters
    EXPECT_EQ(n[CallRecord::Number], "+44123");

    FieldList numberOnly;
    numberOnly.text(12,
                    "+44\x01"
                    "123");
    EXPECT_EQ(Decode(numberOnly)[CallRecord::Name],
              "+44\x01"
              "123");

    FieldList wide;
    wide.text(31, "eight").add(159, Utf16Data(u"\u0627\t")).text(12, "1");
    EXPECT_EQ(Decode(wide)[CallRecord::Name], "\xC7");

    DecodeContext unicode;
    unicode.text.unicode = true;
    FieldList chinese;
    chinese.add(159, Utf16Data(u"\u674E\u96F7")).text(12, "+86");
    EXPECT_EQ(Decode(chinese, unicode)[CallRecord::Name], "\u674E\u96F7");
}

TEST(DecodeCall, SpanOutsideTheImageDecodesNothing) {
    FieldList fields;
    fields.text(12, "1");
    RecordImage r = FieldsImage(fields);
    CallRecord c = DecodeCall(r.image, testing::PastTheEnd(r), kContext);
    for (const auto& value : c.values)
        EXPECT_EQ(value, "");
}

}  // namespace
}  // namespace orrelin
