#include "servicebook/servicebook_record.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

#include "base/little_endian.h"
#include "ipd/ipd_format.h"
#include "ipd/record_frame.h"

namespace orrelin {
namespace {

using namespace sb_slot;

// Configuration items in the order they are written: value and item type (layout A).
struct ConfigItem {
    std::size_t value;
    std::uint8_t type;
};
constexpr std::array<ConfigItem, 6> kConfigItems = [] {
    std::array<ConfigItem, 6> items{};
    for (std::size_t i = 0; i < items.size(); ++i)
        items[i] = {kConfig + i, kConfigItemTypesA[i]};
    return items;
}();

// Source fields carried over unchanged, before and after the written ones.
constexpr std::array<std::uint8_t, 4> kLeadingSourceFields{0x01, 0x02, 0x17, 0x05};
constexpr std::array<std::uint8_t, 4> kTrailingSourceFields{0x10, 0x11, 0x12, 0x18};

constexpr std::size_t kMaxFieldData = 0xFFFF;
constexpr std::size_t kMaxConfigText = 254;  // its length byte counts the closing 00

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

EditRefusal Invalid(std::size_t field, std::string message) {
    return EditRefusal{EditRefusal::Kind::Invalid, field, std::move(message)};
}

// The field's name in quotation marks, as the refusals open. Built by appending: GCC 12 at -O2
// and above warns falsely (-Wrestrict) on a string literal + std::string.
std::string QuotedFieldName(std::size_t field) {
    std::string quoted(1, '"');
    quoted += ServiceBookFieldName(field);
    quoted += '"';
    return quoted;
}

EditRefusal NumberRefusal(std::size_t field, std::int64_t low, std::int64_t high) {
    return Invalid(field, QuotedFieldName(field) + " must be a whole number from " +
                              std::to_string(low) + " to " + std::to_string(high) + ".");
}

EditRefusal TooLong(std::size_t field) {
    return Invalid(field, QuotedFieldName(field) + " is too long to be saved.");
}

// A whole decimal number, spaces around it allowed; nothing for any other text.
std::optional<std::int64_t> WholeNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The number in a value, or the refusal naming it when it is none or out of [low, high].
std::variant<std::int64_t, EditRefusal> NumberIn(std::size_t field, std::string_view text,
                                                 std::int64_t low, std::int64_t high) {
    auto value = WholeNumber(text);
    if (!value || *value < low || *value > high) return NumberRefusal(field, low, high);
    return *value;
}

// [length LE16][type][data]; the caller has made sure the data fit.
void AppendField(ByteVector& out, std::uint8_t type, Bytes data) {
    AppendLe(out, data.size(), 2);
    out.push_back(type);
    out.insert(out.end(), data.begin(), data.end());
}

// A wireless network number as the reader takes it back: its bytes most significant first,
// as few as hold it (one at least); a negative number as its four two's complement bytes.
ByteVector WirelessNetworkBytes(std::int64_t number) {
    auto value = static_cast<std::uint32_t>(static_cast<std::int32_t>(number));
    std::size_t width = 1;
    while (width < 4 && (value >> (8 * width)) != 0)
        ++width;
    ByteVector out;
    for (std::size_t i = width; i-- > 0;)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return out;
}

// The QoS text "a.b.c.d.e" as its five bytes ("0,0,0,0,0" stands for five zeros; an empty
// part is a zero).
std::variant<ByteVector, EditRefusal> QosBytes(std::string_view text) {
    if (text == "0,0,0,0,0") return ByteVector(5, 0);
    const EditRefusal refusal =
        Invalid(kQos, "\"QoS\" must be five whole numbers from 0 to 255 joined by \".\".");
    ByteVector out;
    std::size_t start = 0;
    while (true) {
        std::size_t dot = text.find('.', start);
        std::string_view part = text.substr(
            start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (out.size() == 5) return refusal;
        if (part.empty()) {
            out.push_back(0);
        } else {
            auto value = WholeNumber(part);
            if (!value || *value < 0 || *value > 255) return refusal;
            out.push_back(static_cast<std::uint8_t>(*value));
        }
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    if (out.size() != 5) return refusal;
    return out;
}

}  // namespace

std::string ServiceBookFieldName(std::size_t field) {
    if (field >= ServiceBookFields::kCount) return {};
    if (field == kConfig + 3) return "Gateway";
    std::string name(kServiceBookLabels[field]);
    if (field == kConfig + 4 || field == kConfig + 5) name += " (Web)";
    return name;
}

EditRefusal NoSingleByteCode(std::size_t field) {
    return Invalid(field,
                   QuotedFieldName(field) + " holds a character that a service book cannot store.");
}

std::optional<ByteVector> BuildTextField(std::string_view text, std::uint8_t type, bool withNul) {
    const std::size_t length = text.size() + (withNul ? 1 : 0);
    if (length > kMaxFieldData) return std::nullopt;
    ByteVector out;
    out.reserve(3 + length);
    AppendLe(out, length, 2);
    out.push_back(type);
    out.insert(out.end(), text.begin(), text.end());
    if (withNul) out.push_back(0);
    return out;
}

BuildResult BuildConfigBlock(const ServiceBookFields& values) {
    ByteVector block{0x02, 0x00};
    for (std::size_t i = 0; i < kConfigItems.size(); ++i) {
        const auto& item = kConfigItems[i];
        const std::string& text = values[item.value];
        if (text.size() > kMaxConfigText) {
            return Invalid(item.value,
                           QuotedFieldName(item.value) + " cannot be longer than 254 characters.");
        }
        if (i > 0) block.push_back(0x00);
        block.push_back(static_cast<std::uint8_t>(text.size() + 1));
        block.push_back(item.type);
        block.insert(block.end(), text.begin(), text.end());
        block.push_back(0x00);
    }
    return block;
}

BuildResult BuildNetworkBlock(const ServiceBookFields& values) {
    ByteVector block;
    // Wireless network, network name, provider code and APN lose their control characters; a
    // value left empty by that is written as an empty one (not at all), so that saving a saved
    // entry again writes the same bytes.
    const std::string wireless = StripControlChars(values[kWirelessNetwork], false);
    const std::string networkName = StripControlChars(values[kNetworkName], false);
    const std::string providerCode = StripControlChars(values[kProviderCode], false);
    const std::string apn = StripControlChars(values[kApn], false);

    if (!wireless.empty()) {
        auto number = NumberIn(kWirelessNetwork, wireless, kInt32Min, kInt32Max);
        if (auto* refusal = std::get_if<EditRefusal>(&number)) return *refusal;
        AppendField(block, 0x0A, WirelessNetworkBytes(std::get<std::int64_t>(number)));
    }
    if (!networkName.empty()) {
        auto field = BuildTextField(networkName, 0x09, true);
        if (!field) return TooLong(kNetworkName);
        block.insert(block.end(), field->begin(), field->end());
    }
    if (!providerCode.empty()) {
        auto number = NumberIn(kProviderCode, providerCode, kInt32Min, kInt32Max);
        if (auto* refusal = std::get_if<EditRefusal>(&number)) return *refusal;
        ByteVector data;
        AppendLe(data, static_cast<std::uint64_t>(std::get<std::int64_t>(number)), 4);
        AppendField(block, 0x06, data);
    }
    if (!apn.empty()) {
        auto field = BuildTextField(apn, 0x03, false);
        if (!field) return TooLong(kApn);
        block.insert(block.end(), field->begin(), field->end());
    }
    if (!values[kQos].empty()) {
        auto qos = QosBytes(values[kQos]);
        if (auto* refusal = std::get_if<EditRefusal>(&qos)) return *refusal;
        AppendField(block, 0x12, std::get<ByteVector>(qos));
    }
    // The gateway address and the ports are written as far as their values are given from the
    // first on, as the reader shows a short field: a save without edits keeps them.
    auto given = [&](std::size_t first, std::size_t count) {
        std::size_t n = 0;
        while (n < count && !values[first + n].empty())
            ++n;
        return n;
    };
    if (std::size_t n = given(kGatewayIp, 4); n > 0) {
        ByteVector data;
        for (std::size_t i = 0; i < n; ++i) {
            auto number = NumberIn(kGatewayIp + i, values[kGatewayIp + i], 0, 255);
            if (auto* refusal = std::get_if<EditRefusal>(&number)) return *refusal;
            data.push_back(static_cast<std::uint8_t>(std::get<std::int64_t>(number)));
        }
        AppendField(block, 0x10, data);
    }
    if (std::size_t n = given(kPorts, 2); n > 0) {
        ByteVector data;
        for (std::size_t i = 0; i < n; ++i) {
            auto number = NumberIn(kPorts + i, values[kPorts + i], 0, 0xFFFF);
            if (auto* refusal = std::get_if<EditRefusal>(&number)) return *refusal;
            auto port = static_cast<std::uint16_t>(std::get<std::int64_t>(number));
            data.push_back(static_cast<std::uint8_t>(port >> 8));  // ports are big-endian
            data.push_back(static_cast<std::uint8_t>(port & 0xFF));
        }
        AppendField(block, 0x11, data);
    }
    if (block.size() > kMaxFieldData) {
        return TooLong(apn.size() > networkName.size() ? kApn : kNetworkName);
    }
    return block;
}

BuildResult BuildServiceBookRecord(Bytes code, const ServiceBookFields& values) {
    // Version, handle and unique id are kept. A record too short to hold them keeps what it
    // has, padded with zeros, so the length stays true.
    ByteVector header(kRecordFieldsAt - kRecordVersionAt, 0);
    Bytes kept = Slice(code, kRecordVersionAt, header.size());
    std::copy(kept.begin(), kept.end(), header.begin());
    const Bytes source = Tail(code, kRecordFieldsAt);

    ByteVector fields;
    for (std::uint8_t type : kLeadingSourceFields) {
        Bytes data = FindField(source, type);
        if (!data.empty()) AppendField(fields, type, data);
    }

    if (values[kName].empty() || values[kUid].empty() || values[kCid].empty()) {
        std::size_t field = values[kName].empty() ? kName : values[kUid].empty() ? kUid : kCid;
        return EditRefusal{EditRefusal::Kind::Blank, field, std::string(kServiceBookBlankMessage)};
    }
    struct TextItem {
        std::size_t value;
        std::uint8_t type;
        bool withNul;
    };
    for (const TextItem& item :
         {TextItem{kName, 0x03, true}, TextItem{kUid, 0x07, false}, TextItem{kCid, 0x08, false}}) {
        auto field = BuildTextField(values[item.value], item.type, item.withNul);
        if (!field) return TooLong(item.value);
        fields.insert(fields.end(), field->begin(), field->end());
    }

    // User ID: a number from 0 to 255 keeps its one-byte form, any other is stored as four
    // bytes little-endian (so -1 is FF FF FF FF).
    if (!values[kUserId].empty()) {
        auto number = NumberIn(kUserId, values[kUserId], kInt32Min, kInt32Max);
        if (auto* refusal = std::get_if<EditRefusal>(&number)) return *refusal;
        auto userId = std::get<std::int64_t>(number);
        ByteVector data;
        AppendLe(data, static_cast<std::uint64_t>(userId), userId >= 0 && userId <= 255 ? 1 : 4);
        AppendField(fields, 0x06, data);
    }
    if (!values[kDescription].empty()) {
        auto field = BuildTextField(values[kDescription], 0x0F, true);
        if (!field) return TooLong(kDescription);
        fields.insert(fields.end(), field->begin(), field->end());
    }

    BuildResult config = BuildConfigBlock(values);
    if (auto* refusal = std::get_if<EditRefusal>(&config)) return *refusal;
    AppendField(fields, 0x09, std::get<ByteVector>(config));

    for (std::uint8_t type : kTrailingSourceFields) {
        Bytes data = FindField(source, type);
        if (!data.empty()) AppendField(fields, type, data);
    }

    BuildResult network = BuildNetworkBlock(values);
    if (auto* refusal = std::get_if<EditRefusal>(&network)) return *refusal;
    const auto& networkBlock = std::get<ByteVector>(network);
    if (!networkBlock.empty()) AppendField(fields, 0x16, networkBlock);

    ByteVector record;
    AppendRecordHeader(record, 0, static_cast<std::uint32_t>(header.size() + fields.size()));
    record.insert(record.end(), header.begin(), header.end());
    record.insert(record.end(), fields.begin(), fields.end());
    return record;
}

}  // namespace orrelin
