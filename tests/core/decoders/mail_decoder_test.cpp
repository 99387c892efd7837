#include <gtest/gtest.h>

#include <string>

#include "decoders/browser_decoder.h"
#include "decoders/html_text.h"
#include "decoders/mail_decoder.h"
#include "decoders/timezone_decoder.h"
#include "record_image.h"

namespace orrelin {
namespace {

using testing::FieldsImage;
using testing::RecordImage;

const DecodeContext kContext{};

ByteVector Text(std::string_view text) {
    return ByteVector(text.begin(), text.end());
}

// An address field: eight lead bytes, the name, 0, the address, 0.
ByteVector Address(std::string_view name, std::string_view address) {
    ByteVector data(kMailAddressLead, 0xA5);
    data.insert(data.end(), name.begin(), name.end());
    data.push_back(0);
    data.insert(data.end(), address.begin(), address.end());
    data.push_back(0);
    return data;
}

MailRecord Mail(const FieldList& fields, const DecodeContext& context = kContext) {
    RecordImage r = FieldsImage(fields);
    return DecodeMail(r.image, r.span, context);
}

TEST(DecodeMail, AddressesRepeatAndKeepTheirParts) {
    FieldList f;
    f.add(kMailTo, Address("Ann Lee", "ann@example.org"))
        .add(kMailTo, Address("", "bob@example.org"))  // no name
        .add(kMailCc, Address("Cy", "cy@example.org"))
        .add(kMailFrom, Address("Dee", "dee@example.org"))
        .add(kMailReplyTo, Address("Eve", "eve@example.org"))
        .add(kMailSender, ByteVector{1, 2, 3});  // shorter than its lead bytes
    MailRecord m = Mail(f);
    ASSERT_EQ(m.to.size(), 2u);
    EXPECT_EQ(m.to[0].name, "Ann Lee");
    EXPECT_EQ(m.to[0].address, "ann@example.org");
    EXPECT_EQ(m.to[1].name, "");
    EXPECT_EQ(m.to[1].address, "bob@example.org");
    ASSERT_EQ(m.cc.size(), 1u);
    EXPECT_TRUE(m.bcc.empty());
    EXPECT_EQ(m.from.address, "dee@example.org");
    EXPECT_EQ(m.replyTo.name, "Eve");
    EXPECT_TRUE(m.sender.empty());
}

TEST(DecodeMail, SimpleFields) {
    FieldList f;
    f.text(kMailSubject, "Lunch?", true)
        .text(kMailPlainBody, "Line one\r\nFrom here on\r\n")
        .add(kMailReplyMark, {1})
        .add(kMailAttachmentRef, {1, 2})
        .add(kMailAttachmentRef, {3})
        .add(kMailAttachmentData, ByteVector(10, 7))
        .le(kMailMessageId, 0x01020304, 4);
    MailRecord m = Mail(f);
    EXPECT_EQ(m.subject, "Lunch?");
    EXPECT_EQ(m.plainBody, "Line one\r\nFrom here on\r\n");
    EXPECT_TRUE(m.isReply);
    EXPECT_EQ(m.attachmentReferences, 2u);
    EXPECT_EQ(m.attachmentBytes, 10u);
    EXPECT_EQ(m.messageId, 0x01020304u);
    EXPECT_EQ(m.uniqueId, 0x11223344u);
    EXPECT_FALSE(m.dateUtc);
    EXPECT_EQ(m.htmlBody, "");

    MailRecord none = Mail({});
    EXPECT_FALSE(none.isReply);
    EXPECT_FALSE(none.messageId);
}

TEST(DecodeMail, DamagedFieldsGiveWhatTheyHold) {
    struct Case {
        const char* what;
        ByteVector fields;
        std::string to, subject;
        bool hasId;
    };
    const ByteVector address = Address("Ann", "ann@x");
    ByteVector cutAddress{0x0C, 0x00, kMailTo};  // claims 12 bytes, holds 10
    cutAddress.insert(cutAddress.end(), address.begin(), address.begin() + 10);
    ByteVector cutSubject{0x20, 0x00, kMailSubject, 'H', 'i'};
    ByteVector shortId{0x02, 0x00, kMailMessageId, 1, 2};
    const Case cases[] = {
        {"address cut in its name", cutAddress, "An", "", false},
        {"subject cut short", cutSubject, "", "Hi", false},
        {"message id of two bytes", shortId, "", "", false},
        {"a lone field header", {0x05, 0x00}, "", "", false},
    };
    for (const Case& c : cases) {
        MailRecord m = Mail(FieldList().raw(c.fields));
        EXPECT_EQ(m.to.empty() ? "" : m.to[0].name, c.to) << c.what;
        EXPECT_EQ(m.subject, c.subject) << c.what;
        EXPECT_EQ(m.messageId.has_value(), c.hasId) << c.what;
    }
    RecordImage r = FieldsImage(FieldList{});
    EXPECT_TRUE(DecodeMail(r.image, testing::PastTheEnd(r), kContext).to.empty());
}

TEST(DecodeMail, SixteenBitSubjectAndBody) {
    DecodeContext unicode;
    unicode.text.unicode = true;
    FieldList f;
    f.text(kMailSubject, "plain", true)
        .utf16(kMailSubject + 128, u"Gr\u00fc\u00dfe \u0645\u0631\u062d\u0628\u0627")
        .utf16(kMailPlainBody + 128, u"\u0436\u0443\u043a");
    MailRecord m = Mail(f, unicode);
    EXPECT_EQ(m.subject, "Gr\u00fc\u00dfe \u0645\u0631\u062d\u0628\u0627");
    EXPECT_EQ(m.plainBody, "\u0436\u0443\u043a");
}

TEST(HtmlBodyStart, FindsTheDocumentBehindOtherData) {
    struct Case {
        const char* what;
        std::size_t lead;  // bytes of other data, holding a "<" at byte 10
        std::string html;  // what follows them
        std::optional<std::size_t> start;
    };
    const Case cases[] = {
        {"usual lead", 97, "<html><body>Hi</body></html>", 97},
        {"shorter lead", 80, "<HTML><BODY>Hi", 80},
        {"doctype", 100, "<!DOCTYPE html><html>", 100},
        {"a stray < before the document", 97, "<x <html>", 100},
        {"fragment only", 97, "text <div>Hi</div>", 102},
        {"no markup", 97, "just text", std::nullopt},
        {"too short", 20, "", std::nullopt},
    };
    for (const Case& c : cases) {
        ByteVector data(c.lead, 0x01);
        if (c.lead > 10) data[10] = '<';
        data.insert(data.end(), c.html.begin(), c.html.end());
        EXPECT_EQ(HtmlBodyStart(data), c.start) << c.what;
    }
}

TEST(DecodeMail, HtmlOnlyBody) {
    ByteVector data(97, 0x02);
    const std::string html = "<html><p>Hello</p></html>";
    data.insert(data.end(), html.begin(), html.end());
    data.push_back(0);
    MailRecord m = Mail(FieldList().add(kMailHtmlBody, data));
    EXPECT_EQ(m.htmlBody, html);
    EXPECT_EQ(m.plainBody, "");
}

TEST(DecodeBookmark, BothLayoutsOfTheItems) {
    struct Case {
        const char* what;
        ByteVector items;
        std::array<std::string, 3> expected;
    };
    const Case cases[] = {
        {"present byte per item",
         {1, 0, 2, '4', '2', 1, 0, 4, 'N', 'e', 'w', 's', 1, 0, 3, 'T', 'o', 'p'},
         {"42", "News", "Top"}},
        {"absent folder", {1, 0, 1, '7', 1, 0, 2, 'M', 'e', 0}, {"7", "Me", ""}},
        {"one present byte for all",
         {1, 0, 2, '4', '2', 0, 4, 'N', 'e', 'w', 's', 0, 3, 'T', 'o', 'p'},
         {"42", "News", "Top"}},
        {"trailing zero bytes", {1, 0, 1, '9', 0, 1, 'A', 0, 0, 0, 0}, {"9", "A", ""}},
        {"cut in the name", {1, 0, 1, '5', 1, 0, 9, 'H', 'a'}, {"5", "Ha", ""}},
        {"empty", {}, {"", "", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeBookmarkItems(c.items, kContext.text), c.expected) << c.what;

    FieldList f;
    f.add(kBookmarkType, {2})
        .add(kBookmarkItems, cases[0].items)
        .add(kBookmarkUrl, {0,   18,  'h', 't', 't', 'p', ':', '/', '/', 'e',
                            'x', 'a', 'm', 'p', 'l', 'e', '.', 'o', 'r', 'g'});
    RecordImage r = FieldsImage(f);
    BookmarkRecord b = DecodeBookmark(r.image, r.span, kContext);
    EXPECT_EQ(b.type, 2);
    EXPECT_EQ(b.items[BookmarkRecord::Name], "News");
    EXPECT_EQ(b.url, "http://example.org");
}

TEST(DecodeBrowserUrl, UrlBehindThreeBytes) {
    RecordImage r = FieldsImage(FieldList().add(kBrowserUrl, Text("\x01\x02\x03http://a.b/c")));
    EXPECT_EQ(DecodeBrowserUrl(r.image, r.span, kContext).url, "http://a.b/c");
    RecordImage cut = FieldsImage(FieldList().add(kBrowserUrl, {1, 2}));
    EXPECT_EQ(DecodeBrowserUrl(cut.image, cut.span, kContext).url, "");
}

TEST(DecodeTimeZone, FieldsAndSignedOffset) {
    FieldList f;
    f.le(kZoneIndex, 17, 4)
        .text(kZoneName, "Newfoundland", true)
        .le(kZoneUtcOffset, static_cast<std::uint16_t>(-210), 2)
        .le(kZoneDstOffset, 60, 4)
        .add(kZoneStartMonth, {3})
        .add(kZoneEndMonth, {11})
        .add(kZoneType, {1});
    RecordImage r = FieldsImage(f);
    TimeZoneRecord z = DecodeTimeZone(r.image, r.span, kContext);
    EXPECT_EQ(z.index, 17u);
    EXPECT_EQ(z.name, "Newfoundland");
    EXPECT_EQ(z.utcOffsetMinutes, -210);
    EXPECT_EQ(UtcOffsetText(*z.utcOffsetMinutes), "-03:30");
    EXPECT_EQ(UtcOffsetText(330), "+05:30");
    EXPECT_EQ(z.dstOffset, 60);
    EXPECT_EQ(z.startMonth, 3);
    EXPECT_EQ(z.endMonth, 11);
    EXPECT_EQ(z.zoneType, 1);

    RecordImage shortOffset = FieldsImage(FieldList().add(kZoneUtcOffset, {0xFF}));
    TimeZoneRecord s = DecodeTimeZone(shortOffset.image, shortOffset.span, kContext);
    EXPECT_FALSE(s.utcOffsetMinutes);
    EXPECT_FALSE(s.index);
}

}  // namespace
}  // namespace orrelin

namespace orrelin {
namespace {

TEST(HtmlAsText, TagsGoTextStays) {
    struct Case {
        const char* html;
        const char* text;
    };
    const Case cases[] = {
        {"<html><body><p>Hello</p><p>World</p></body></html>", "Hello\nWorld"},
        {"one<br>two<BR/>three", "one\ntwo\nthree"},
        {"a  \r\n  b\t<b>bold</b> c", "a b bold c"},
        {"<script>alert(1)</script><style>p{}</style>safe", "safe"},
        {"<!-- <p>hidden</p> -->shown", "shown"},
        {"&lt;tag&gt; &amp; &quot;q&quot; &#233;&#x4E2D;&nbsp;x", "<tag> & \"q\" \u00e9\u4e2d x"},
        {"&bogus; &#0; &#xD800; a & b", "&bogus; &#0; &#xD800; a & b"},
        {"<img src=\"http://example.org/x.png\">text<a href='x'>link</a>", "textlink"},
        {"cut <p", "cut"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HtmlAsText(c.html), c.text) << c.html;
}

}  // namespace
}  // namespace orrelin
