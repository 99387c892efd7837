#include <gtest/gtest.h>

#include "decoders/servicebook_decoder.h"
#include "record_image.h"

namespace orrelin {
namespace {

using testing::FieldsImage;
using testing::RecordImage;

ServiceBookFields Decode(const FieldList& fields, const TextOptions& text = {}) {
    RecordImage r = FieldsImage(fields);
    return DecodeServiceBook(r.image, r.span, text);
}

Bytes View(const ByteVector& v) {
    return {v.data(), v.size()};
}
ByteVector Copy(Bytes b) {
    return {b.begin(), b.end()};
}

TEST(DecodeServiceBook, TopLevelFields) {
    FieldList fields;
    fields.text(3, "WAP2 Transport", true)
        .text(7, "WAP2 trans01")
        .text(8, "WPTCP")
        .add(6, {0xFF, 0xFF, 0xFF, 0xFF})
        .text(15, "Line 1\r\nLine\t2", true);
    ServiceBookFields f = Decode(fields);
    EXPECT_EQ(f[17], "WAP2 Transport");
    EXPECT_EQ(f[18], "WAP2 trans01");
    EXPECT_EQ(f[19], "WPTCP");
    EXPECT_EQ(f[20], "-1");
    EXPECT_EQ(f[21], "Line 1\r\nLine2");

    FieldList small;
    small.add(3, {}).add(6, {0x2C}).text(3, "second name is not read");
    ServiceBookFields s = Decode(small);
    EXPECT_EQ(s[17], "");
    EXPECT_EQ(s[20], "44");
}

TEST(DecodeServiceBook, NetworkBlock) {
    FieldList network;
    network.add(6, {0x0A, 0x00, 0x00, 0x00})
        .add(10, {0x01, 0x00, 0x00, 0x01, 0x07})  // only the last four bytes count: 0x107
        .text(9, "HRT", true)
        .text(3, "pp.vodafone.co.uk")
        .add(18, {1, 2, 3, 4, 5, 6})
        .add(16, {0xC0, 0xA8, 0x01, 0x01})
        .add(17, {0x1F, 0x90, 0x00, 0x50})
        .text(1, "ignored");
    FieldList fields;
    fields.add(22, network.bytes());
    ServiceBookFields f = Decode(fields);
    EXPECT_EQ(f[0], "10");
    EXPECT_EQ(f[1], "263");
    EXPECT_EQ(f[2], "HRT");
    EXPECT_EQ(f[3], "pp.vodafone.co.uk");
    EXPECT_EQ(f[4], "1.2.3.4.5");
    EXPECT_EQ(f[5], "192");
    EXPECT_EQ(f[6], "168");
    EXPECT_EQ(f[7], "1");
    EXPECT_EQ(f[8], "1");
    EXPECT_EQ(f[9], "8080");  // ports are big-endian
    EXPECT_EQ(f[10], "80");
    for (std::size_t i = 11; i < ServiceBookFields::kCount; ++i)
        EXPECT_EQ(f[i], "") << i;
}

TEST(DecodeServiceBook, ShortNetworkValuesShowTheBytesThatAreThere) {
    FieldList network;
    network.add(10, {0x80, 0x00, 0x00, 0x00})
        .add(18, {0, 0})
        .add(16, {10, 0})
        .add(17, {0xFF, 0xFF, 0x01})
        .add(6, {0xFE});
    FieldList fields;
    fields.add(22, network.bytes());
    ServiceBookFields f = Decode(fields);
    EXPECT_EQ(f[0], "254");
    EXPECT_EQ(f[1], "-2147483648");
    EXPECT_EQ(f[4], "0.0");
    EXPECT_EQ(f[5], "10");
    EXPECT_EQ(f[6], "0");
    EXPECT_EQ(f[7], "");
    EXPECT_EQ(f[9], "65535");
    EXPECT_EQ(f[10], "1");
}

// A configuration block: its header, then the items as given.
ByteVector ConfigBlock(std::size_t header, const ByteVector& items) {
    ByteVector block(header, 0x01);
    block.insert(block.end(), items.begin(), items.end());
    return block;
}

// Layout A: [length][type][data][separator].
ByteVector ItemA(std::uint8_t type, std::string_view text) {
    ByteVector item{static_cast<std::uint8_t>(text.size()), type};
    item.insert(item.end(), text.begin(), text.end());
    item.push_back(0x00);
    return item;
}

// Layout B: [type][length][data].
ByteVector ItemB(std::uint8_t type, std::string_view text) {
    ByteVector item{type, static_cast<std::uint8_t>(text.size())};
    item.insert(item.end(), text.begin(), text.end());
    return item;
}

ByteVector Join(std::initializer_list<ByteVector> parts) {
    ByteVector out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(DecodeServiceBook, ConfigurationLayoutA) {
    FieldList fields;
    fields.add(
        9, ConfigBlock(2, Join({ItemA(1, "http://home"), ItemA(3, "src"), ItemA(4, "uid"),
                                ItemA(9, "gw:8799"), ItemA(10, "name"), ItemA(11, "desc\t\r\n")})));
    ServiceBookFields f = Decode(fields);
    EXPECT_EQ(f[11], "http://home");
    EXPECT_EQ(f[12], "src");
    EXPECT_EQ(f[13], "uid");
    EXPECT_EQ(f[14], "gw:8799");
    EXPECT_EQ(f[15], "name");
    EXPECT_EQ(f[16], "desc\r\n");
}

TEST(DecodeServiceBook, LayoutBOnlyWhenLayoutAGivesNothing) {
    FieldList onlyB;
    onlyB.add(9, ConfigBlock(1, Join({ItemB(1, "http://b"), ItemB(8, "src"), ItemB(6, "uid"),
                                      ItemB(7, "gw"), ItemB(3, "name"), ItemB(2, "desc")})));
    ServiceBookFields b = Decode(onlyB);
    EXPECT_EQ(b[11], "http://b");
    EXPECT_EQ(b[12], "src");
    EXPECT_EQ(b[13], "uid");
    EXPECT_EQ(b[14], "gw");
    EXPECT_EQ(b[15], "name");
    EXPECT_EQ(b[16], "desc");

    // One layout-A value is enough to keep layout B out, even for the values A leaves empty.
    FieldList partA;
    partA.add(9, ConfigBlock(2, Join({ItemA(9, "gw"), ItemA(5, "other")})));
    ServiceBookFields a = Decode(partA);
    EXPECT_EQ(a[14], "gw");
    for (std::size_t i : {11u, 12u, 13u, 15u, 16u})
        EXPECT_EQ(a[i], "") << i;
}

TEST(DecodeServiceBook, ConfigurationIsFoundAtTheTopLevelOnly) {
    FieldList network;
    network.text(3, "apn").add(9, ConfigBlock(2, ItemA(1, "inner")));
    FieldList fields;
    fields.add(22, network.bytes()).add(9, ConfigBlock(2, ItemA(1, "outer")));
    ServiceBookFields f = Decode(fields);
    EXPECT_EQ(f[3], "apn");
    EXPECT_EQ(f[11], "outer");
}

TEST(DecodeServiceBook, EmptyAndDamagedRecords) {
    for (const auto& value : Decode({}).values)
        EXPECT_EQ(value, "");

    RecordImage r = FieldsImage(FieldList{}.text(3, "x"));
    ServiceBookFields outside = DecodeServiceBook(r.image, testing::PastTheEnd(r));
    for (const auto& value : outside.values)
        EXPECT_EQ(value, "");

    // A name whose length runs past the end yields what is there.
    FieldList cut;
    cut.raw({0x40, 0x00, 0x03, 'W', 'A', 'P'});
    EXPECT_EQ(Decode(cut)[17], "WAP");
}

TEST(ConfigurationItems, FindersStepOverItemsAndClampLengths) {
    ByteVector a = Join({ItemA(3, "abc"), ItemA(4, "de")});
    EXPECT_EQ(Copy(FindLengthTypeItem(View(a), 4)), (ByteVector{'d', 'e'}));
    EXPECT_TRUE(FindLengthTypeItem(View(a), 9).empty());
    ByteVector b = Join({ItemB(3, "abc"), ItemB(4, "de")});
    EXPECT_EQ(Copy(FindTypeLengthItem(View(b), 4)), (ByteVector{'d', 'e'}));
    EXPECT_TRUE(FindTypeLengthItem(View(b), 9).empty());

    ByteVector longA{0x10, 0x01, 'x', 'y'};
    EXPECT_EQ(Copy(FindLengthTypeItem(View(longA), 1)), (ByteVector{'x', 'y'}));
    ByteVector longB{0x01, 0x10, 'x'};
    EXPECT_EQ(Copy(FindTypeLengthItem(View(longB), 1)), (ByteVector{'x'}));
    // An item header with no room for data, and a lone byte.
    EXPECT_TRUE(FindLengthTypeItem(View(ByteVector{0x05, 0x01}), 1).empty());
    EXPECT_TRUE(FindTypeLengthItem(View(ByteVector{0x01}), 1).empty());
    EXPECT_TRUE(FindLengthTypeItem({}, 0).empty());
}

TEST(DecodeServiceBook, UnicodeFormReadsTextsThroughTheEightBitPage) {
    FieldList fields;
    fields.text(3, "Caf\xE9\t");
    EXPECT_EQ(Decode(fields)[17], "Caf\xE9");
    EXPECT_EQ(Decode(fields, TextOptions{.unicode = true})[17], "Caf\u00E9");
}

}  // namespace
}  // namespace orrelin
