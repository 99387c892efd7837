#include "kinds/labels.h"

#include <algorithm>

#include "decoders/call_decoder.h"
#include "decoders/sms_decoder.h"
#include "kinds/label_rules.h"
#include "kinds/record_kinds.h"

namespace orrelin {
namespace label_rules {

namespace {

// The "- All" forms keep their fields inside the record's first field of this type.
constexpr std::uint8_t kAllFormFields = 10;

// The 16-bit field of a slot's row, empty for a row without one.
Bytes WideField(Bytes fields, const FieldRow& row, bool second = false) {
    if (!row.wideType) return {};
    return second ? FindSecondField(fields, row.wideType) : FindField(fields, row.wideType);
}

}  // namespace

LabelPieces LocateLabel(const KindInfo& kind, bool allForm, Bytes body) {
    const LabelRule& rule = kind.label;
    Bytes fields = Tail(body, rule.fieldsAt);
    if (allForm) fields = FindField(fields, kAllFormFields);
    if (rule.reader) return rule.reader(fields);
    LabelPieces out;
    switch (rule.join) {
        case LabelJoin::Title: {
            const FieldRow& row = FieldOf(kind.fields, rule.slots[0]);
            if (Bytes wide = WideField(fields, row); !wide.empty()) {
                out.add(wide, true);
            } else {
                out.add(FindField(fields, row.type), false);
            }
            break;
        }
        case LabelJoin::FirstShown:
            for (std::size_t i = 0; i < rule.slotCount; ++i) {
                const FieldRow& row = FieldOf(kind.fields, rule.slots[i]);
                out.add(WideField(fields, row), true);
                out.add(FindField(fields, row.type), false);
            }
            break;
        case LabelJoin::Names: {
            const FieldRow& row = FieldOf(kind.fields, rule.slots[0]);
            if (Bytes wide = WideField(fields, row); !wide.empty()) {
                out.add(wide, true);
                out.add(WideField(fields, row, true), true);
            } else {
                out.add(FindField(fields, row.type), false);
                out.add(FindSecondField(fields, row.type), false);
            }
            break;
        }
    }
    return out;
}

}  // namespace label_rules

using namespace label_rules;

bool SmsIsSent(Bytes body) {
    return body.size() <= kSmsDirectionByte || body[kSmsDirectionByte] == 0;
}

ImageKey CallIcon(Bytes body) {
    // The first four data bytes, little-endian, as a signed number.
    Bytes data = FindField(Tail(body, InfoOf(RecordKind::PhoneCall).label.fieldsAt),
                           FieldOf(kCallFields, CallRecord::Direction).type);
    auto v = static_cast<std::int32_t>(static_cast<std::uint32_t>(
        LittleEndianValue(data.first(std::min<std::size_t>(4, data.size())))));
    if (v == 0) return ImageKey::received;
    if (v == 1) return ImageKey::placed;
    return ImageKey::missed;
}

SingleByteText RecordLabel(KnownDb db, Bytes body) {
    return Label(KindInfoOf(db), IsAllForm(db), body, SingleByteForm{});
}

SingleByteText ArchiveRecordLabel(KnownDb db, Bytes body) {
    return Label(KindInfoOf(db), IsAllForm(db), body, ArchiveSingleByteForm{});
}

ImageKey RecordImage(KnownDb db, Bytes body) {
    return KindOf(db).image(body);
}

std::string UnicodeLabel(KnownDb db, Bytes body, const TextOptions& text) {
    return Label(KindInfoOf(db), IsAllForm(db), body, UnicodeForm{text});
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
