#include "decoders/servicebook_decoder.h"

#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "ipd/fields.h"

namespace orrelin {
namespace {

// Top-level fields.
constexpr std::uint8_t kName = 3;
constexpr std::uint8_t kUserId = 6;
constexpr std::uint8_t kUid = 7;
constexpr std::uint8_t kCid = 8;
constexpr std::uint8_t kConfigBlock = 9;
constexpr std::uint8_t kDescription = 15;
constexpr std::uint8_t kNetworkBlock = 22;

// Sub-fields of the network block.
constexpr std::uint8_t kProviderCode = 6;
constexpr std::uint8_t kWirelessNetwork = 10;
constexpr std::uint8_t kNetworkName = 9;
constexpr std::uint8_t kApn = 3;
constexpr std::uint8_t kQos = 18;
constexpr std::uint8_t kGatewayIp = 16;
constexpr std::uint8_t kPorts = 17;

std::string Decimal(std::int64_t n) {
    return std::to_string(n);
}

// Up to four bytes, most significant first (an unsigned 16-bit port from two).
std::int64_t BigEndian(Bytes bytes) {
    std::uint32_t v = 0;
    for (std::uint8_t b : bytes)
        v = v << 8 | b;
    return bytes.size() == 4 ? static_cast<std::int32_t>(v) : static_cast<std::int64_t>(v);
}

void DecodeNetworkBlock(Bytes block, ServiceBookFields& out, const TextOptions& text) {
    auto& v = out.values;
    if (Bytes d = FindField(block, kProviderCode); !d.empty()) {
        v[sb_slot::kProviderCode] = Decimal(SmallNumber(d));
    }
    if (Bytes d = FindField(block, kWirelessNetwork); !d.empty()) {
        // All bytes as one number, most significant first; only the last four count.
        v[sb_slot::kWirelessNetwork] = Decimal(BigEndian(d.last(d.size() < 4 ? d.size() : 4)));
    }
    if (Bytes d = FindField(block, kNetworkName); !d.empty()) {
        v[sb_slot::kNetworkName] = EightBitText(d, true, text);
    }
    if (Bytes d = FindField(block, kApn); !d.empty())
        v[sb_slot::kApn] = EightBitText(d, true, text);
    if (Bytes d = FindField(block, kQos); !d.empty()) {
        std::string qos;
        for (std::uint8_t b : Slice(d, 0, 5)) {
            if (!qos.empty()) qos += '.';
            qos += Decimal(b);
        }
        v[sb_slot::kQos] = qos;
    }
    if (Bytes d = FindField(block, kGatewayIp); !d.empty()) {
        Bytes ip = Slice(d, 0, 4);
        for (std::size_t i = 0; i < ip.size(); ++i)
            v[sb_slot::kGatewayIp + i] = Decimal(ip[i]);
    }
    if (Bytes d = FindField(block, kPorts); !d.empty()) {
        for (std::size_t i = 0; i < 2; ++i) {
            Bytes port = Slice(d, 2 * i, 2);
            if (!port.empty()) v[sb_slot::kPorts + i] = Decimal(BigEndian(port));
        }
    }
}

// Values 11 to 16 from the items of one layout; false when all six stay empty.
template <typename Finder>
bool DecodeConfigItems(Bytes items, const std::array<std::uint8_t, 6>& types, Finder find,
                       ServiceBookFields& out, const TextOptions& text) {
    bool any = false;
    for (std::size_t i = 0; i < types.size(); ++i) {
        std::string value = EightBitText(find(items, types[i]), true, text);
        any = any || !value.empty();
        out.values[sb_slot::kConfig + i] = std::move(value);
    }
    return any;
}

// The item of `itemType` in items whose length and type stand at `lengthAt` and `typeAt`, and
// which follow each other `extra` bytes after their data begins plus the data length.
Bytes FindItem(Bytes items, std::uint8_t itemType, std::size_t lengthAt, std::size_t typeAt,
               std::size_t extra) {
    std::size_t pos = 0;
    const std::size_t n = items.size();
    while (n - pos >= 2) {
        const std::size_t length = items[pos + lengthAt];
        if (items[pos + typeAt] == itemType) return Slice(items, pos + 2, length);
        const std::size_t step = length + extra;
        if (step >= n - pos) break;
        pos += step;
    }
    return {};
}

}  // namespace

Bytes FindLengthTypeItem(Bytes items, std::uint8_t itemType) {
    // [length][type][data][separator]
    return FindItem(items, itemType, 0, 1, 3);
}

Bytes FindTypeLengthItem(Bytes items, std::uint8_t itemType) {
    // [type][length][data]
    return FindItem(items, itemType, 1, 0, 2);
}

ServiceBookFields DecodeServiceBook(const IpdImage& image, RecordSpan span,
                                    const TextOptions& text) {
    ServiceBookFields out;
    auto body = RecordBody(image, span);
    if (!body) return out;
    Bytes fields = RecordFields(*body);
    auto& v = out.values;

    if (Bytes d = FindField(fields, kName); !d.empty())
        v[sb_slot::kName] = EightBitText(d, true, text);
    if (Bytes d = FindField(fields, kUid); !d.empty())
        v[sb_slot::kUid] = EightBitText(d, true, text);
    if (Bytes d = FindField(fields, kCid); !d.empty())
        v[sb_slot::kCid] = EightBitText(d, true, text);
    if (Bytes d = FindField(fields, kUserId); !d.empty())
        v[sb_slot::kUserId] = Decimal(SmallNumber(d));
    if (Bytes d = FindField(fields, kDescription); !d.empty()) {
        v[sb_slot::kDescription] = EightBitText(d, true, text);
    }
    if (Bytes block = FindField(fields, kNetworkBlock); !block.empty()) {
        DecodeNetworkBlock(block, out, text);
    }

    // The configuration block: a 2-byte header and layout-A items, or when those give nothing,
    // a 1-byte header and layout-B items.
    Bytes config = FindField(fields, kConfigBlock);
    if (config.empty()) return out;
    if (!DecodeConfigItems(Tail(config, 2), kConfigItemTypesA, FindLengthTypeItem, out, text)) {
        DecodeConfigItems(Tail(config, 1), kConfigItemTypesB, FindTypeLengthItem, out, text);
    }
    return out;
}

}  // namespace orrelin
