#include <gtest/gtest.h>

#include "decoders/sms_decoder.h"
#include "record_image.h"

namespace orrelin {
namespace {

using testing::BodyImage;
using testing::RecordImage;

const DecodeContext kContext{};

// A message body: the fixed 73 bytes (direction at 9, the handheld's time at 22 and the other
// time at 30), then the fields.
ByteVector MessageBody(std::uint8_t direction, std::uint64_t at22, std::uint64_t at30,
                       const FieldList& fields) {
    ByteVector body(73, 0);
    body[0] = 0x05;
    body[9] = direction;
    for (std::size_t i = 0; i < 6; ++i) {
        body[22 + i] = static_cast<std::uint8_t>(at22 >> (8 * i));
        body[30 + i] = static_cast<std::uint8_t>(at30 >> (8 * i));
    }
    body.insert(body.end(), fields.bytes().begin(), fields.bytes().end());
    return body;
}

SmsRecord Decode(const ByteVector& body, const DecodeContext& context = kContext) {
    RecordImage r = BodyImage(body);
    return DecodeSms(r.image, r.span, context);
}

TEST(DecodeSms, DirectionByteDecidesSentOrReceived) {
    SmsRecord sent = Decode(MessageBody(0, 0, 0, {}));
    EXPECT_EQ(sent[SmsRecord::Direction], "Sent");
    EXPECT_EQ(sent[SmsRecord::Folder], "Outbox");
    for (int b : {0x01, 0x80, 0xFF}) {
        SmsRecord received = Decode(MessageBody(static_cast<std::uint8_t>(b), 0, 0, {}));
        EXPECT_EQ(received[SmsRecord::Direction], "Received");
        EXPECT_EQ(received[SmsRecord::Folder], "Inbox");
    }
}

// Bytes 22-27 hold the handheld's own time: when a sent message left it, when a received one
// reached it; bytes 30-35 the other time.
TEST(DecodeSms, DirectionDecidesWhichTimeWasSent) {
    const std::uint64_t at22 = 1256592300000;
    const std::uint64_t at30 = 1256592360000;
    SmsRecord sent = Decode(MessageBody(0, at22, at30, {}));
    EXPECT_EQ(sent.sentMillis, std::optional<std::uint64_t>(at22));
    EXPECT_EQ(sent.receivedMillis, std::optional<std::uint64_t>(at30));
    EXPECT_EQ(sent[SmsRecord::SentDate], "10/27/2009 12:25:00 AM");
    EXPECT_EQ(sent[SmsRecord::ReceivedDate], "10/27/2009 12:26:00 AM");
    SmsRecord received = Decode(MessageBody(1, at22, at30, {}));
    EXPECT_EQ(received.sentMillis, std::optional<std::uint64_t>(at30));
    EXPECT_EQ(received.receivedMillis, std::optional<std::uint64_t>(at22));
    EXPECT_EQ(received[SmsRecord::SentDate], "10/27/2009 12:26:00 AM");
    EXPECT_EQ(received[SmsRecord::ReceivedDate], "10/27/2009 12:25:00 AM");
}

TEST(DecodeSms, SixByteMillisecondTimes) {
    SmsRecord r = Decode(MessageBody(0, 1256592300000, 0, {}));
    EXPECT_EQ(r[SmsRecord::SentDate], "10/27/2009 12:25:00 AM");
    EXPECT_EQ(r[SmsRecord::ReceivedDate], "1/1/1970 3:00:00 AM");

    DecodeContext east;
    east.timeZoneText = "+11";
    EXPECT_EQ(Decode(MessageBody(1, 0, 0, {}), east)[SmsRecord::ReceivedDate],
              "1/1/1970 2:00:00 PM");

    // Six bytes FF reach past the year 9999: that value alone stays empty.
    FieldList fields;
    fields.text(2, "+4412345").text(4, "hi");
    SmsRecord far = Decode(MessageBody(0, 0xFFFFFFFFFFFF, 1256592300000, fields));
    EXPECT_EQ(far[SmsRecord::SentDate], "");
    EXPECT_EQ(far[SmsRecord::ReceivedDate], "10/27/2009 12:25:00 AM");
    EXPECT_EQ(far[SmsRecord::Number], "+4412345");
    EXPECT_EQ(far[SmsRecord::Text], "hi");
}

TEST(DecodeSms, EightBitNumberAndText) {
    FieldList fields;
    fields.text(1, "not read").text(2, "+44\t123", true).text(4, "line one\r\nline\ttwo", true);
    SmsRecord r = Decode(MessageBody(0, 0, 0, fields));
    EXPECT_EQ(r[SmsRecord::Number], "+44123");
    EXPECT_EQ(r[SmsRecord::Text], "line one\r\nlinetwo");

    SmsRecord none = Decode(MessageBody(0, 0, 0, {}));
    EXPECT_EQ(none[SmsRecord::Number], "");
    EXPECT_EQ(none[SmsRecord::Text], "");
}

TEST(DecodeSms, SixteenBitTextOnlyWhenTheFirstByteIs06) {
    FieldList arabic;
    arabic.add(4, {0x06, 0x27, 0x06, 0x44, 0x06, 0x45});
    EXPECT_EQ(Decode(MessageBody(1, 0, 0, arabic))[SmsRecord::Text], "\xC7\xE1\xE3");

    // "Hi" as 16-bit text takes the 8-bit path: the zero bytes are dropped.
    FieldList latin;
    latin.add(4, {0x00, 0x48, 0x00, 0x69});
    EXPECT_EQ(Decode(MessageBody(1, 0, 0, latin))[SmsRecord::Text], "Hi");

    DecodeContext unicode;
    unicode.text.unicode = true;
    EXPECT_EQ(Decode(MessageBody(1, 0, 0, arabic), unicode)[SmsRecord::Text], "\u0627\u0644\u0645");
    FieldList mixed;
    mixed.add(4, {0x06, 0x27, 0x4E, 0x2D, 0xD8, 0x3D, 0xDE, 0x00});
    EXPECT_EQ(Decode(MessageBody(1, 0, 0, mixed), unicode)[SmsRecord::Text],
              "\u0627\u4E2D\U0001F600");
    EXPECT_EQ(Decode(MessageBody(1, 0, 0, mixed))[SmsRecord::Text],
              "\xC7???");  // a pair is two units
}

// 16-bit texts of any script in the Unicode form; the single-byte form is left as it was.
TEST(DecodeSms, UnicodeFormReadsSixteenBitTextOfEveryScript) {
    DecodeContext unicode;
    unicode.text.unicode = true;
    auto text = [&](const ByteVector& data, const DecodeContext& context) {
        FieldList fields;
        fields.add(4, data);
        return Decode(MessageBody(1, 0, 0, fields), context)[SmsRecord::Text];
    };
    auto utf16 = [](std::u16string_view s) {
        ByteVector data;
        for (char16_t unit : s) {
            data.push_back(static_cast<std::uint8_t>(unit >> 8));
            data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        }
        return data;
    };
    // Latin with a trailing U+0000, Cyrillic, Greek, Chinese with a blank, an emoji after
    // Latin letters.
    EXPECT_EQ(text(utf16(u"Hi there"), unicode), "Hi there");
    EXPECT_EQ(text(utf16(std::u16string(u"Hi\0", 3)), unicode), "Hi");
    EXPECT_EQ(text(utf16(u"Привет"), unicode), "Привет");
    EXPECT_EQ(text(utf16(u"Καλημέρα"), unicode), "Καλημέρα");
    EXPECT_EQ(text(utf16(u"你好 世界"), unicode), "你好 世界");
    EXPECT_EQ(text(utf16(u"ok \U0001F600"), unicode), "ok \U0001F600");

    // The single-byte form keeps its reading of the same bytes
    EXPECT_EQ(text(utf16(u"Hi there"), kContext), "Hi there");
    // (its bytes one by one, the controls 04 and 1F dropped).
    EXPECT_EQ(text(utf16(u"Привет"), kContext), "@825B");

    // 8-bit texts stay 8-bit: odd length, a leading line break, a NUL at an odd offset only
    // (a terminator), a text whose zero byte would make a lone surrogate.
    EXPECT_EQ(text({'a', 'b', 'c'}, unicode), "abc");
    EXPECT_EQ(text({'\r', '\n', 'o', 'k'}, unicode), "\r\nok");
    EXPECT_EQ(text({'o', 'k', '!', 0x00}, unicode), "ok!");
    EXPECT_EQ(text({0x00, 'A', 0xDC, 0x00}, unicode), "A\u00DC");
    EXPECT_EQ(text({0xE9, 't', 0xE9}, unicode), "\u00E9t\u00E9");  // read as 1252
}

// A message that says it is UCS-2 is read so in the Unicode form, even where its bytes would
// pass for 8-bit text (CJK without a zero byte); the single-byte form keeps its rules.
TEST(DecodeSms, StatedUcs2IsReadAsSixteenBitInTheUnicodeForm) {
    DecodeContext unicode;
    unicode.text.unicode = true;
    const ByteVector cjk{0x4F, 0x60, 0x59, 0x7D};  // 你好
    auto decode = [&](bool atByte38, std::uint8_t field7, const DecodeContext& context) {
        FieldList fields;
        fields.add(4, cjk).add(7, {field7, 0, 0});
        ByteVector body = MessageBody(1, 0, 0, fields);
        if (atByte38) body[38] = 2;
        return Decode(body, context)[SmsRecord::Text];
    };
    EXPECT_EQ(decode(true, 0, unicode), "你好");
    EXPECT_EQ(decode(false, 2, unicode), "你好");
    EXPECT_EQ(decode(false, 1, unicode), "O`Y}");  // 8-bit stated: the bytes as they are
    EXPECT_EQ(decode(true, 2, kContext), "O`Y}");
}

TEST(DecodeSms, InstantsAreTheStoredCountsWithoutTheDisplayOffset) {
    DecodeContext east;
    east.timeZoneText = "+11";
    SmsRecord r = Decode(MessageBody(0, 1256592300400, 1256592360000, {}), east);
    EXPECT_EQ(r.sentUtc, std::optional<std::int64_t>(1256592300));  // milliseconds dropped
    EXPECT_EQ(r.receivedUtc, std::optional<std::int64_t>(1256592360));
    EXPECT_EQ(r[SmsRecord::SentDate], "10/27/2009 11:25:00 AM");

    // Past the year 9999 the instant stays exact while the shown date is empty.
    EXPECT_EQ(Decode(MessageBody(0, 0xFFFFFFFFFFFF, 0, {})).sentUtc,
              std::optional<std::int64_t>(0xFFFFFFFFFFFF / 1000));

    // Exports that write instants only ask for no shown times.
    DecodeContext instantsOnly;
    instantsOnly.displayTimes = false;
    SmsRecord bare = Decode(MessageBody(0, 1256592300400, 0, {}), instantsOnly);
    EXPECT_EQ(bare[SmsRecord::SentDate], "");
    EXPECT_EQ(bare.sentUtc, std::optional<std::int64_t>(1256592300));

    ByteVector body = MessageBody(1, 1000, 2000, {});
    body.resize(30);
    SmsRecord cut = Decode(body);
    EXPECT_EQ(cut.receivedUtc, std::optional<std::int64_t>(1));
    EXPECT_EQ(cut.sentUtc, std::nullopt);
}

TEST(DecodeSms, ShortAndDamagedRecords) {
    // Long enough for the handheld's time only: a received message's receive time.
    ByteVector body = MessageBody(1, 1256592300000, 0, {});
    body.resize(30);
    SmsRecord partial = Decode(body);
    EXPECT_EQ(partial[SmsRecord::Direction], "Received");
    EXPECT_EQ(partial[SmsRecord::ReceivedDate], "10/27/2009 12:25:00 AM");
    EXPECT_EQ(partial[SmsRecord::SentDate], "");
    EXPECT_EQ(partial[SmsRecord::Text], "");

    // Too short for the direction byte: counted as sent, like its tree icon.
    SmsRecord tiny = Decode({0x01, 0x00, 0x02});
    EXPECT_EQ(tiny[SmsRecord::Direction], "Sent");
    EXPECT_EQ(tiny[SmsRecord::SentDate], "");

    SmsRecord empty = Decode({});
    EXPECT_EQ(empty[SmsRecord::Folder], "Outbox");
    EXPECT_EQ(empty[SmsRecord::ReceivedDate], "");

    // A text field whose length runs past the end yields what is there.
    FieldList cut;
    cut.raw({0x64, 0x00, 0x04, 'a', 'b', 'c'});
    EXPECT_EQ(Decode(MessageBody(1, 0, 0, cut))[SmsRecord::Text], "abc");

    // A span outside the image decodes nothing.
    RecordImage r = BodyImage(MessageBody(1, 0, 0, {}));
    SmsRecord outside = DecodeSms(r.image, testing::PastTheEnd(r), kContext);
    for (const auto& value : outside.values)
        EXPECT_EQ(value, "");
}

}  // namespace
}  // namespace orrelin
