#include "browser/labels.h"

#include "browser/label_rules.h"

#include <algorithm>

namespace orrelin {
namespace {

using namespace label_rules;

// The tree's form: single-byte text, 16-bit text reduced to code page 1256.
struct SingleByteForm {
    SingleByteText eightBit(Bytes data) const { return BytesToStrippedText(data, true); }
    SingleByteText sixteenBit(Bytes data) const {
        return StripControlChars(Utf16BeToText(Tail(data, 1)), true);
    }
};

}  // namespace

SingleByteText SmsLabel(Bytes body) {
    return Sms(body, SingleByteForm{});
}

bool SmsIsSent(Bytes body) {
    return body.size() <= 9 || body[9] == 0;
}

SingleByteText ContactLabel(Bytes body, bool all) {
    return Contact(body, all, SingleByteForm{});
}

SingleByteText TaskLabel(Bytes body) {
    return Label(KnownDb::Tasks, body, SingleByteForm{});
}

SingleByteText MemoLabel(Bytes body) {
    return Label(KnownDb::Memos, body, SingleByteForm{});
}

SingleByteText CalendarLabel(Bytes body, bool all) {
    return Label(all ? KnownDb::CalendarAll : KnownDb::Calendar, body, SingleByteForm{});
}

SingleByteText ServiceBookLabel(Bytes body) {
    return Label(KnownDb::ServiceBook, body, SingleByteForm{});
}

SingleByteText CallLabel(Bytes body) {
    return Call(body, SingleByteForm{});
}

ImageKey CallIcon(Bytes body) {
    // The first four data bytes, little-endian, as a signed number.
    Bytes data = FindField(PlainFields(body), 2);
    auto v = static_cast<std::int32_t>(static_cast<std::uint32_t>(
        LittleEndianValue(data.first(std::min<std::size_t>(4, data.size())))));
    if (v == 0) return ImageKey::received;
    if (v == 1) return ImageKey::placed;
    return ImageKey::missed;
}

SingleByteText RecordLabel(KnownDb db, Bytes body) {
    return Label(db, body, SingleByteForm{});
}

ImageKey RecordImage(KnownDb db, Bytes body) {
    switch (db) {
        case KnownDb::Sms:
            return SmsIsSent(body) ? ImageKey::sent : ImageKey::receivedsms;
        case KnownDb::AddressBookAll:
            return ImageKey::addressbook;
        case KnownDb::AddressBook:
            return ImageKey::mobile;
        case KnownDb::Memos:
            return ImageKey::memos;
        case KnownDb::Tasks:
            return ImageKey::tasks;
        case KnownDb::Calendar:
        case KnownDb::CalendarAll:
            return ImageKey::calendars;
        case KnownDb::ServiceBook:
            return ImageKey::servicebook;
        case KnownDb::PhoneCallLogs:
            return CallIcon(body);
    }
    return ImageKey::none;
}

}  // namespace orrelin
