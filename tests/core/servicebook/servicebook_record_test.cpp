#include <gtest/gtest.h>

#include <string>

#include "base/bytes.h"
#include "ipd/ipd_builder.h"
#include "servicebook/servicebook_record.h"

namespace orrelin {
namespace {

// The whole source record from its database index: index 03 00, version 07, handle 34 12,
// unique id A1 A2 A3 A4, then the given fields.
ByteVector SourceRecord(const ByteVector& fields) {
    ByteVector out{0x03, 0x00};
    AppendLe32(out, static_cast<std::uint32_t>(7 + fields.size()));
    out.insert(out.end(), {0x07, 0x34, 0x12, 0xA1, 0xA2, 0xA3, 0xA4});
    out.insert(out.end(), fields.begin(), fields.end());
    return out;
}

ServiceBookFields Named() {
    ServiceBookFields v;
    v.values[17] = "N";
    v.values[18] = "U";
    v.values[19] = "C";
    return v;
}

// The fields Named() gives on an empty source: name, UID, CID and the empty configuration.
const std::string kNamedFields =
    "0200034E00"
    "01000755"
    "01000843"
    "190009"
    "0200"
    "010100"
    "00010300"
    "00010400"
    "00010900"
    "00010A00"
    "00010B00";

std::string Hex(const BuildResult& result) {
    if (const auto* refusal = std::get_if<EditRefusal>(&result))
        return "refused: " + refusal->message;
    return BytesToHex(std::get<ByteVector>(result));
}

// The rebuilt record's fields, after index, length and the 7 kept header bytes.
std::string FieldsHex(const ServiceBookFields& values, const ByteVector& sourceFields = {}) {
    std::string hex = Hex(BuildServiceBookRecord(SourceRecord(sourceFields), values));
    return hex.rfind("refused", 0) == 0 ? hex : hex.substr(26);
}

// Only the network block's sub-fields, without the framing 16 field.
std::string NetworkHex(const ServiceBookFields& values) {
    return Hex(BuildNetworkBlock(values));
}

EditRefusal RefusalOf(const BuildResult& result) {
    const auto* refusal = std::get_if<EditRefusal>(&result);
    return refusal ? *refusal : EditRefusal{EditRefusal::Kind::Invalid, 99, "not refused"};
}

TEST(ServiceBookRecord, FramesTheRecordAndKeepsOnlyTheCarriedSourceFields) {
    FieldList source;
    source
        .add(0x17, {0xEE})  // written third although stored first
        .add(0x04, {0x44})  // not carried over
        .add(0x01, {0x11, 0x11})
        .add(0x02, {})  // empty data: not written
        .add(0x05, {0x55})
        .add(0x10, {0x10})
        .add(0x0A, {0xAA})  // not carried over
        .add(0x18, {0x18, 0x18})
        .add(0x11, {0x11})
        .add(0x12, {0x12})
        .text(0x03, "old name", true)          // replaced by the value
        .add(0x16, {0x01, 0x00, 0x0A, 0x05});  // replaced by the (empty) network values
    const ByteVector code = SourceRecord(source.bytes());
    const BuildResult result = BuildServiceBookRecord(code, Named());
    const std::string fields =
        "0200011111"
        "010017EE"
        "01000555" +
        kNamedFields +
        "01001010"
        "01001111"
        "01001212"
        "0200181818";
    const std::size_t length = 7 + fields.size() / 2;
    EXPECT_EQ(Hex(result), "0000" + BytesToHex(ByteVector{static_cast<std::uint8_t>(length)}) +
                               "000000"
                               "073412A1A2A3A4" +
                               fields);
    EXPECT_EQ(BuildServiceBookRecord(code, Named()), result) << "each save rebuilds the same";
}

TEST(ServiceBookRecord, LengthCountsHeaderAndFields) {
    ServiceBookFields v = Named();
    // 100 bytes of fields: the name field (characters + 4), UID and CID (4 each) and the
    // empty configuration (28).
    v.values[17] = std::string(100 - 4 - 4 - 4 - 28, 'x');
    auto record = std::get<ByteVector>(BuildServiceBookRecord(SourceRecord({}), v));
    ASSERT_EQ(record.size(), 113u);
    EXPECT_EQ(BytesToHex(Bytes(record).subspan(2, 4)), "6B000000");
}

TEST(ServiceBookRecord, AShortSourceRecordKeepsItsBytesAndAConsistentLength) {
    const ByteVector code{0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x09};  // length 1: version only
    auto record = std::get<ByteVector>(BuildServiceBookRecord(code, Named()));
    EXPECT_EQ(BytesToHex(record).substr(0, 26),
              "0000"
              "30000000"
              "09000000000000");
    EXPECT_EQ(record.size(), 6u + 0x30);
}

TEST(ServiceBookRecord, NameUidAndCidMustNotBeBlank) {
    for (std::size_t field : {17u, 18u, 19u}) {
        ServiceBookFields v = Named();
        v.values[field].clear();
        EditRefusal refusal = RefusalOf(BuildServiceBookRecord(SourceRecord({}), v));
        EXPECT_EQ(refusal.kind, EditRefusal::Kind::Blank);
        EXPECT_EQ(refusal.field, field);
        EXPECT_EQ(refusal.message, "Service-book name, UID, CID, UserID cannot be blank");
    }
    EXPECT_EQ(FieldsHex(Named()), kNamedFields) << "a blank User ID writes no field";
}

TEST(ServiceBookRecord, TextFieldsCarryTheirClosingZeroWhereTheFormatHasOne) {
    EXPECT_EQ(BytesToHex(*BuildTextField("AB", 0x03, true)),
              "0300034142"
              "00");
    EXPECT_EQ(BytesToHex(*BuildTextField("AB", 0x07, false)), "0200074142");
    EXPECT_EQ(BytesToHex(*BuildTextField(std::string(1, '\xE9'), 0x07, false)), "010007E9");
    EXPECT_TRUE(BuildTextField(std::string(0xFFFF, 'a'), 0x07, false).has_value());
    EXPECT_FALSE(BuildTextField(std::string(0xFFFF, 'a'), 0x03, true).has_value());

    ServiceBookFields v = Named();
    v.values[21] = "D";
    EXPECT_EQ(FieldsHex(v).substr(0, 36),
              "0200034E00"
              "0100075501000843"
              "0200"
              "0F4400");
    v.values[17] = std::string(0xFFFF, 'n');
    EditRefusal refusal = RefusalOf(BuildServiceBookRecord(SourceRecord({}), v));
    EXPECT_EQ(refusal.field, 17u);
    EXPECT_EQ(refusal.message, "\"Name\" is too long to be saved.");
}

TEST(ServiceBookRecord, UserIdKeepsItsValueWhateverItsSize) {
    auto userIdField = [](const std::string& text) {
        ServiceBookFields v = Named();
        v.values[20] = text;
        std::string hex = FieldsHex(v);
        return hex.rfind("refused", 0) == 0 ? hex : hex.substr(26, hex.find("190009") - 26);
    };
    EXPECT_EQ(userIdField("-1"), "040006FFFFFFFF");
    EXPECT_EQ(userIdField("5"), "01000605");
    EXPECT_EQ(userIdField("0"), "01000600");
    EXPECT_EQ(userIdField("255"), "010006FF");
    EXPECT_EQ(userIdField("300"), "0400062C010000");
    EXPECT_EQ(userIdField("-2"), "040006FEFFFFFF");
    EXPECT_EQ(userIdField("2147483647"), "040006FFFFFF7F");
    EXPECT_EQ(userIdField(" 7 "), "01000607");
    for (const char* bad : {"abc", "1.5", "12a", "-", "2147483648", "--1", "0x10"}) {
        ServiceBookFields v = Named();
        v.values[20] = bad;
        EditRefusal refusal = RefusalOf(BuildServiceBookRecord(SourceRecord({}), v));
        EXPECT_EQ(refusal.kind, EditRefusal::Kind::Invalid) << bad;
        EXPECT_EQ(refusal.field, 20u) << bad;
        EXPECT_EQ(refusal.message,
                  "\"User ID\" must be a whole number from -2147483648 to 2147483647.");
    }
}

TEST(ServiceBookConfigBlock, WritesLayoutAWithSeparatorsAndRefusesTextsItsLengthByteCannotHold) {
    ServiceBookFields v;
    EXPECT_EQ(Hex(BuildConfigBlock(v)),
              "0200"
              "010100"
              "00"
              "010300"
              "00"
              "010400"
              "00"
              "010900"
              "00"
              "010A00"
              "00"
              "010B00");
    v.values[11] = "http://h";
    v.values[14] = "gw";
    v.values[16] = "d";
    EXPECT_EQ(Hex(BuildConfigBlock(v)),
              "0200"
              "0901687474703A2F2F6800"
              "00"
              "010300"
              "00"
              "010400"
              "00"
              "0309677700"
              "00"
              "010A00"
              "00"
              "020B6400");
    v.values[13] = std::string(254, 'u');
    auto block = std::get<ByteVector>(BuildConfigBlock(v));
    EXPECT_EQ(block[2 + 11 + 1 + 3 + 1], 0xFF) << "254 characters and the 00 fill the byte";
    v.values[15] = std::string(255, 'n');
    EditRefusal refusal = RefusalOf(BuildConfigBlock(v));
    EXPECT_EQ(refusal.field, 15u);
    EXPECT_EQ(refusal.message, "\"Name (Web)\" cannot be longer than 254 characters.");
    EXPECT_EQ(RefusalOf(BuildServiceBookRecord(SourceRecord({}),
                                               [&] {
                                                   ServiceBookFields w = Named();
                                                   w.values[14] = std::string(300, 'g');
                                                   return w;
                                               }()))
                  .message,
              "\"Gateway\" cannot be longer than 254 characters.");
}

TEST(ServiceBookNetworkBlock, WritesEachGivenValueInItsOrder) {
    ServiceBookFields v;
    EXPECT_EQ(NetworkHex(v), "");
    EXPECT_EQ(FieldsHex(Named()).find("0016"), std::string::npos) << "no empty network field";

    v.values[0] = "10";
    v.values[1] = "3";
    v.values[2] = "HRT";
    v.values[3] = "apn";
    v.values[4] = "1.2.3.4.5";
    v.values[5] = "192";
    v.values[6] = "168";
    v.values[7] = "1";
    v.values[8] = "1";
    v.values[9] = "8080";
    v.values[10] = "80";
    EXPECT_EQ(NetworkHex(v),
              "01000A03"
              "04000948525400"
              "0400060A000000"
              "03000361706E"
              "0500120102030405"
              "040010C0A80101"
              "0400111F900050");
    ServiceBookFields w = Named();
    w.values[3] = "a";
    EXPECT_EQ(FieldsHex(w), kNamedFields +
                                "040016"
                                "01000361");
}

TEST(ServiceBookNetworkBlock, NumbersKeepAllTheirBytes) {
    auto one = [](std::size_t field, const std::string& text) {
        ServiceBookFields v;
        v.values[field] = text;
        return NetworkHex(v);
    };
    EXPECT_EQ(one(0, "70000"), "04000670110100");
    EXPECT_EQ(one(0, "-1"), "040006FFFFFFFF");
    EXPECT_EQ(one(1, "0"), "01000A00");
    EXPECT_EQ(one(1, "255"), "01000AFF");
    EXPECT_EQ(one(1, "300"), "02000A012C");
    EXPECT_EQ(one(1, "65536"), "03000A010000");
    EXPECT_EQ(one(1, "-5"), "04000AFFFFFFFB");
    EXPECT_EQ(one(1, "\t7"), "01000A07") << "control characters go first";
    EXPECT_EQ(one(2, "a\tb"), "030009616200");
    EXPECT_EQ(one(3, "a\r\nb"), "0200036162");
    EXPECT_EQ(one(9, "80"), "0200110050") << "a lone first port is kept as the reader shows it";
    EXPECT_EQ(one(10, "80"), "") << "a second port needs the first";
    EXPECT_EQ(one(2, "\n"), "") << "a name cleaned to nothing is left out";
    ServiceBookFields v;
    v.values[9] = "65535";
    v.values[10] = "0";
    EXPECT_EQ(NetworkHex(v), "040011FFFF0000");
}

TEST(ServiceBookNetworkBlock, GatewayIpKeepsItsPartsFromTheFirstOn) {
    ServiceBookFields v;
    v.values[5] = "192";
    v.values[6] = "168";
    v.values[7] = "1";
    EXPECT_EQ(NetworkHex(v), "030010C0A801");
    v.values[8] = "1";
    EXPECT_EQ(NetworkHex(v), "040010C0A80101");
    v.values[5].clear();
    EXPECT_EQ(NetworkHex(v), "");
}

TEST(ServiceBookNetworkBlock, QosIsFiveBytes) {
    auto qos = [](const std::string& text) {
        ServiceBookFields v;
        v.values[4] = text;
        return NetworkHex(v);
    };
    EXPECT_EQ(qos("1.2.3.4.5"), "0500120102030405");
    EXPECT_EQ(qos("0,0,0,0,0"), "0500120000000000");
    EXPECT_EQ(qos("0.0.0.0.0"), "0500120000000000");
    EXPECT_EQ(qos("1..3.4.5"), "0500120100030405");
    EXPECT_EQ(qos("255.0.0.0.7"), "050012FF00000007");
    for (const char* bad : {"1.2.3.4", "1.2.3.4.5.6", "1.2.x.4.5", "1,2,3,4,5", "256.0.0.0.0"}) {
        ServiceBookFields v;
        v.values[4] = bad;
        EditRefusal refusal = RefusalOf(BuildNetworkBlock(v));
        EXPECT_EQ(refusal.field, 4u) << bad;
        EXPECT_EQ(refusal.message,
                  "\"QoS\" must be five whole numbers from 0 to 255 joined by \".\".");
    }
}

TEST(ServiceBookNetworkBlock, RefusesNumbersItCannotStore) {
    struct Case {
        std::size_t field;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {0, "ten",
         "\"Network Provider Code\" must be a whole number from -2147483648 to 2147483647."},
        {0, "4294967295",
         "\"Network Provider Code\" must be a whole number from -2147483648 to 2147483647."},
        {1, "1e3", "\"Wireless Network\" must be a whole number from -2147483648 to 2147483647."},
        {7, "256", "\"Gateway IP\" must be a whole number from 0 to 255."},
        {5, "-1", "\"Gateway IP\" must be a whole number from 0 to 255."},
        {9, "65536", "\"Ports\" must be a whole number from 0 to 65535."},
        {10, "-80", "\"Ports\" must be a whole number from 0 to 65535."},
        {10, "8 0", "\"Ports\" must be a whole number from 0 to 65535."},
    };
    for (const Case& c : cases) {
        ServiceBookFields v = Named();
        for (std::size_t i = 5; i <= 10; ++i)
            v.values[i] = "1";
        v.values[c.field] = c.text;
        EditRefusal refusal = RefusalOf(BuildServiceBookRecord(SourceRecord({}), v));
        EXPECT_EQ(refusal.kind, EditRefusal::Kind::Invalid) << c.text;
        EXPECT_EQ(refusal.field, c.field) << c.text;
        EXPECT_EQ(refusal.message, c.message) << c.text;
    }
}

TEST(ServiceBookNetworkBlock, RefusesABlockItsLengthCannotHold) {
    ServiceBookFields v;
    v.values[2] = std::string(40000, 'n');
    v.values[3] = std::string(30000, 'a');
    EditRefusal refusal = RefusalOf(BuildNetworkBlock(v));
    EXPECT_EQ(refusal.field, 2u);
    EXPECT_EQ(refusal.message, "\"Network Name\" is too long to be saved.");
}

TEST(ServiceBookFieldNames, FollowTheEditorsLabels) {
    EXPECT_EQ(ServiceBookFieldName(14), "Gateway");
    EXPECT_EQ(ServiceBookFieldName(16), "Description (Web)");
    EXPECT_EQ(ServiceBookFieldName(21), "Description");
    EXPECT_EQ(NoSingleByteCode(17).message,
              "\"Name\" holds a character that a service book cannot store.");
}

}  // namespace
}  // namespace orrelin
