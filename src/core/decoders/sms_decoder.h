#pragma once

#include <array>
#include <string>
#include <string_view>

#include "decoders/decode_context.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

// A message, as its pane and exports show it.
struct SmsRecord {
    enum Slot { Direction, Folder, SentDate, ReceivedDate, Number, Text };
    std::array<std::string, 6> values;
    const std::string& operator[](Slot s) const { return values[s]; }
};

inline constexpr std::array<std::string_view, 6> kSmsLabels{"Direction", "Folder", "Sent on",
                                                            "Recv. On",  "Number", "Message"};
// Sent and received messages: the direction and the folder words.
inline constexpr std::array<std::string_view, 2> kSmsDirectionWords{"Sent", "Received"};
inline constexpr std::array<std::string_view, 2> kSmsFolderWords{"Outbox", "Inbox"};

// Body layout: handle (0-1), unique id (2-5), first field header (6-8), direction byte (9:
// 0 sent, else received), sent time (22-27) and received time (30-35) as 48-bit millisecond
// counts, further fields from byte 73: type 2 the number, type 4 the text (16-bit big-endian
// when its first byte is 0x06).
SmsRecord DecodeSms(const IpdImage& image, RecordSpan span, const DecodeContext& context);

}  // namespace orrelin
