#include "browser/labels.h"

#include <algorithm>

namespace orrelin {
namespace {

constexpr std::size_t kFieldsOffset = 6;      // after the handle and the unique id
constexpr std::size_t kSmsFieldsOffset = 73;  // after the fixed leading part of a message

Bytes PlainFields(Bytes body) {
    return Tail(body, kFieldsOffset);
}

// The fields of the "- All" forms lie inside the record's first type-10 field.
Bytes Fields(Bytes body, bool all) {
    Bytes plain = PlainFields(body);
    return all ? FindField(plain, 10) : plain;
}

SingleByteText EightBit(Bytes data) {
    return BytesToStrippedText(data, true);
}

// 16-bit text: one leading byte, then UTF-16 code units high byte first.
SingleByteText SixteenBit(Bytes data) {
    return StripControlChars(Utf16BeToText(Tail(data, 1)), true);
}

// The 16-bit field when it has data, else the 8-bit one.
SingleByteText TitleOf(Bytes fields, std::uint8_t eightBitType, std::uint8_t sixteenBitType) {
    Bytes wide = FindField(fields, sixteenBitType);
    if (!wide.empty()) return SixteenBit(wide);
    return EightBit(FindField(fields, eightBitType));
}

}  // namespace

SingleByteText SmsLabel(Bytes body) {
    return EightBit(FindField(Tail(body, kSmsFieldsOffset), 2));
}

bool SmsIsSent(Bytes body) {
    return body.size() <= 9 || body[9] == 0;
}

SingleByteText ContactLabel(Bytes body, bool all) {
    Bytes fields = Fields(body, all);
    Bytes wide = FindField(fields, 160);
    if (!wide.empty()) return SixteenBit(wide) + " " + SixteenBit(FindField(fields, 160, 2));
    return EightBit(FindField(fields, 32)) + " " + EightBit(FindField(fields, 32, 2));
}

SingleByteText TaskLabel(Bytes body) {
    return TitleOf(PlainFields(body), 2, 130);
}

SingleByteText MemoLabel(Bytes body) {
    return TitleOf(PlainFields(body), 1, 129);
}

SingleByteText CalendarLabel(Bytes body, bool all) {
    return TitleOf(Fields(body, all), 2, 130);
}

SingleByteText ServiceBookLabel(Bytes body) {
    return EightBit(FindField(PlainFields(body), 3));
}

SingleByteText CallLabel(Bytes body) {
    Bytes fields = PlainFields(body);
    for (auto text : {SixteenBit(FindField(fields, 159)), EightBit(FindField(fields, 31)),
                      EightBit(FindField(fields, 12))}) {
        if (!text.empty()) return text;
    }
    return "Unknown Number";
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
    switch (db) {
        case KnownDb::Sms:
            return SmsLabel(body);
        case KnownDb::AddressBookAll:
            return ContactLabel(body, true);
        case KnownDb::AddressBook:
            return ContactLabel(body, false);
        case KnownDb::Memos:
            return MemoLabel(body);
        case KnownDb::Tasks:
            return TaskLabel(body);
        case KnownDb::Calendar:
            return CalendarLabel(body, false);
        case KnownDb::CalendarAll:
            return CalendarLabel(body, true);
        case KnownDb::ServiceBook:
            return ServiceBookLabel(body);
        case KnownDb::PhoneCallLogs:
            return CallLabel(body);
    }
    return {};
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
