#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

// A message, as its pane and exports show it.
struct SmsRecord {
    enum Slot { Direction, Folder, SentDate, ReceivedDate, Number, Text };
    std::array<std::string, 6> values;
    // Sent and received time as instants, in whole seconds since 1970-01-01 00:00 UTC, read
    // straight from the stored millisecond counts (the shown times carry the display offset);
    // nothing when the record is too short to hold them.
    std::optional<std::int64_t> sentUtc;
    std::optional<std::int64_t> receivedUtc;
    // The same instants to the millisecond, as stored.
    std::optional<std::uint64_t> sentMillis;
    std::optional<std::uint64_t> receivedMillis;
    const std::string& operator[](Slot s) const { return values[s]; }
};

inline constexpr auto kSmsLabels = PaneCaptions(kSmsFields);
// Where a message body keeps its direction (0: sent, else received) and its further fields.
inline constexpr std::size_t kSmsDirectionByte = 9;
inline constexpr std::size_t kSmsFieldsOffset = 73;
// Sent and received messages: the direction and the folder words.
inline constexpr std::array<std::string_view, 2> kSmsDirectionWords{"Sent", "Received"};
inline constexpr std::array<std::string_view, 2> kSmsFolderWords{"Outbox", "Inbox"};

// Body layout: handle (0-1), unique id (2-5), first field header (6-8), direction byte (9:
// 0 sent, else received), two times as 48-bit millisecond counts: bytes 22-27 the handheld's
// (a sent message's sent time, a received message's receive time) and bytes 30-35 the other
// (a sent message's received time, a received message's sent time, from the service centre),
// further fields from byte 73: type 2 the number, type 4 the text (16-bit big-endian
// when its first byte is 0x06; see SmsTextIsSixteenBit for the Unicode form).
// In the Unicode form a message whose coding byte (body byte 38, byte 29 of the first field's
// data) or type-7 field's first byte is 2 (UCS-2) has its text read as 16-bit big-endian text
// whatever its bytes; the single-byte form keeps to the rules below.
// Whether a message text is read as 16-bit big-endian text. The single-byte form goes by the
// first byte alone (0x06: a first unit in the Arabic block). The Unicode form, which can keep
// every character, also takes as 16-bit an even-length text that is valid UTF-16 and either
// has a zero byte at an even offset (a unit below U+0100, such as a Latin letter, a digit or a
// blank among the others) or begins with a byte below 0x20 other than tab, CR and LF (a first
// unit in U+0000 to U+1FFF: Greek, Cyrillic, Hebrew, Indic and other scripts). An 8-bit text
// holds no such bytes in these places.
bool SmsTextIsSixteenBit(Bytes text, const TextOptions& options);

// What a message says besides its texts: its direction, its two times to the millisecond (as
// in SmsRecord) and the data of its number field. A span outside the image reads as a sent
// message without times or number.
struct SmsHead {
    bool sentByUser = true;
    std::optional<std::uint64_t> sentMillis;
    std::optional<std::uint64_t> receivedMillis;
    Bytes number;
};
SmsHead ReadSmsHead(const IpdImage& image, RecordSpan span);

SmsRecord DecodeSms(const IpdImage& image, RecordSpan span, const DecodeContext& context);
// The same, the text left empty unless `withText`.
SmsRecord DecodeSms(const IpdImage& image, RecordSpan span, const DecodeContext& context,
                    bool withText);

}  // namespace orrelin
