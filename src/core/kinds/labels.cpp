#include "kinds/labels.h"

#include "decoders/call_decoder.h"
#include "kinds/label_rules.h"
#include "kinds/record_kinds.h"

#include <algorithm>

namespace orrelin {
namespace {

using namespace label_rules;

}  // namespace

bool SmsIsSent(Bytes body) {
    return body.size() <= kSmsDirectionByte || body[kSmsDirectionByte] == 0;
}

ImageKey CallIcon(Bytes body) {
    // The first four data bytes, little-endian, as a signed number.
    Bytes data = FindField(PlainFields(body), FieldOf(kCallFields, CallRecord::Direction).type);
    auto v = static_cast<std::int32_t>(static_cast<std::uint32_t>(
        LittleEndianValue(data.first(std::min<std::size_t>(4, data.size())))));
    if (v == 0) return ImageKey::received;
    if (v == 1) return ImageKey::placed;
    return ImageKey::missed;
}

SingleByteText RecordLabel(KnownDb db, Bytes body) {
    return KindOf(db).label(body);
}

SingleByteText ArchiveRecordLabel(KnownDb db, Bytes body) {
    return Label(db, body, ArchiveSingleByteForm{});
}

ImageKey RecordImage(KnownDb db, Bytes body) {
    return KindOf(db).image(body);
}

std::string UnicodeLabel(KnownDb db, Bytes body, const TextOptions& text) {
    return KindOf(db).unicodeLabel(body, text);
}

SingleByteText RecordLabel(const DatabaseNode& database, Bytes body) {
    return database.db ? RecordLabel(*database.db, body) : OtherKind().label(body);
}

SingleByteText ArchiveRecordLabel(const DatabaseNode& database, Bytes body) {
    return database.db ? ArchiveRecordLabel(*database.db, body) : OtherKind().label(body);
}

ImageKey RecordImage(const DatabaseNode& database, Bytes body) {
    return database.db ? RecordImage(*database.db, body) : OtherKind().image(body);
}

std::string UnicodeLabel(const DatabaseNode& database, Bytes body, const TextOptions& text) {
    return database.db ? UnicodeLabel(*database.db, body, text)
                       : OtherKind().unicodeLabel(body, text);
}

}  // namespace orrelin
