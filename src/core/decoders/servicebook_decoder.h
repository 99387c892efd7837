#pragma once

#include <array>
#include <string>
#include <string_view>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

// The 22 values of a service book entry, by their index in the pane and the editor:
// 0-10 the network block (type 22), 11-16 the configuration block (type 9), 17-21 the
// top-level name, UID, CID, User ID and description.
struct ServiceBookFields {
    static constexpr std::size_t kCount = 22;
    std::array<std::string, kCount> values;
    const std::string& operator[](std::size_t i) const { return values[i]; }
};

// The values' slots in ServiceBookFields.
namespace sb_slot {
inline constexpr std::size_t kProviderCode = 0;
inline constexpr std::size_t kWirelessNetwork = 1;
inline constexpr std::size_t kNetworkName = 2;
inline constexpr std::size_t kApn = 3;
inline constexpr std::size_t kQos = 4;
inline constexpr std::size_t kGatewayIp = 5;  // 5 to 8, one byte each
inline constexpr std::size_t kPorts = 9;      // 9 and 10
inline constexpr std::size_t kConfig = 11;    // 11 to 16, the configuration items
inline constexpr std::size_t kName = 17;
inline constexpr std::size_t kUid = 18;
inline constexpr std::size_t kCid = 19;
inline constexpr std::size_t kUserId = 20;
inline constexpr std::size_t kDescription = 21;
}  // namespace sb_slot

// The configuration items' types for values 11 to 16, in order: layout A (the one written,
// [length][type][data][separator]) and layout B ([type][length][data]).
inline constexpr std::array<std::uint8_t, 6> kConfigItemTypesA{1, 3, 4, 9, 10, 11};
inline constexpr std::array<std::uint8_t, 6> kConfigItemTypesB{1, 8, 6, 7, 3, 2};

inline constexpr auto kServiceBookLabels = PaneCaptions(kServiceBookFields);

// Texts are single-byte text unless `text` asks for the Unicode form.
ServiceBookFields DecodeServiceBook(const IpdImage& image, RecordSpan span,
                                    const TextOptions& text = {});

// The configuration block's item finders on its items (header already dropped): data of the
// first item of `itemType`; layout A is [length][type][data][separator], layout B
// [type][length][data]. A length past the end yields what remains.
Bytes FindLengthTypeItem(Bytes items, std::uint8_t itemType);
Bytes FindTypeLengthItem(Bytes items, std::uint8_t itemType);

}  // namespace orrelin
