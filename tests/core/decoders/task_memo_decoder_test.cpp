#include <gtest/gtest.h>

#include "decoders/memo_decoder.h"
#include "decoders/task_decoder.h"
#include "record_image.h"

namespace orrelin {
namespace {

using testing::FieldsImage;
using testing::RecordImage;
using testing::Utf16Data;

const DecodeContext kContext{};

TaskRecord DecodeTaskFields(const FieldList& fields, const DecodeContext& context = kContext) {
    RecordImage r = FieldsImage(fields);
    return DecodeTask(r.image, r.span, context);
}

MemoRecord DecodeMemoFields(const FieldList& fields, const DecodeContext& context = kContext) {
    RecordImage r = FieldsImage(fields);
    return DecodeMemo(r.image, r.span, context);
}

TEST(DecodeTask, StatusAndPriorityWords) {
    const char* statuses[] = {"Not Started", "In Progress", "Completed", "Waiting", "Deferred", ""};
    for (std::uint8_t n = 0; n < 6; ++n) {
        FieldList f;
        f.add(9, {n});
        EXPECT_EQ(DecodeTaskFields(f)[TaskRecord::Status], statuses[n]);
    }
    const char* priorities[] = {"High", "Normal", "Low", ""};
    for (std::uint8_t n = 0; n < 4; ++n) {
        FieldList f;
        f.add(10, {n});
        EXPECT_EQ(DecodeTaskFields(f)[TaskRecord::Priority], priorities[n]);
    }
    FieldList big;
    big.add(9, {0xFF}).add(10, {0x01, 0x00});  // only the first byte counts
    TaskRecord b = DecodeTaskFields(big);
    EXPECT_EQ(b[TaskRecord::Status], "");
    EXPECT_EQ(b[TaskRecord::Priority], "Normal");

    // Absent fields read as 0; so do empty ones.
    TaskRecord none = DecodeTaskFields({});
    EXPECT_EQ(none[TaskRecord::Status], "Not Started");
    EXPECT_EQ(none[TaskRecord::Priority], "High");
    FieldList empty;
    empty.add(9, {}).add(10, {});
    EXPECT_EQ(DecodeTaskFields(empty)[TaskRecord::Priority], "High");
}

TEST(DecodeTask, TitleAndNotes) {
    FieldList fields;
    fields.text(2, "eight").add(130, Utf16Data(u"Buy\tmilk")).text(3, "one\r\ntwo\tthree", true);
    TaskRecord t = DecodeTaskFields(fields);
    EXPECT_EQ(t[TaskRecord::Title], "Buymilk");
    EXPECT_EQ(t[TaskRecord::Notes], "one\r\ntwothree");

    FieldList eight;
    eight.text(2, "Call\tback").add(131, Utf16Data(u"wide notes"));
    TaskRecord e = DecodeTaskFields(eight);
    EXPECT_EQ(e[TaskRecord::Title], "Callback");
    EXPECT_EQ(e[TaskRecord::Notes], "wide notes");
}

TEST(DecodeTask, EmptyAndOutsideBodies) {
    RecordImage empty = testing::BodyImage({});
    TaskRecord e = DecodeTask(empty.image, empty.span, kContext);
    EXPECT_EQ(e[TaskRecord::Title], "");
    EXPECT_EQ(e[TaskRecord::Status], "Not Started");

    RecordImage r = FieldsImage(FieldList{});
    TaskRecord outside = DecodeTask(r.image, testing::PastTheEnd(r), kContext);
    for (const auto& value : outside.values)
        EXPECT_EQ(value, "");
}

TEST(DecodeMemo, TitleAndBody) {
    FieldList fields;
    fields.add(129, Utf16Data(u"\u0627\u0644", 0x05)).text(2, "line 1\r\nline 2\x1B", true);
    MemoRecord m = DecodeMemoFields(fields);
    EXPECT_EQ(m[MemoRecord::Title], "\xC7\xE1");
    EXPECT_EQ(m[MemoRecord::Body], "line 1\r\nline 2");

    FieldList bodyOnly;
    bodyOnly.text(2, "just a body");
    MemoRecord b = DecodeMemoFields(bodyOnly);
    EXPECT_EQ(b[MemoRecord::Title], "");
    EXPECT_EQ(b[MemoRecord::Body], "just a body");

    DecodeContext unicode;
    unicode.text.unicode = true;
    FieldList wide;
    wide.text(1, "t").add(130, Utf16Data(u"\u7B14\u8BB0 \U0001F4DD"));
    MemoRecord u = DecodeMemoFields(wide, unicode);
    EXPECT_EQ(u[MemoRecord::Title], "t");
    EXPECT_EQ(u[MemoRecord::Body], "\u7B14\u8BB0 \U0001F4DD");
}

}  // namespace
}  // namespace orrelin
