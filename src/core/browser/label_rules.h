#pragma once

// The rules that make a record's one-line label, in any text form: the tree's single-byte text
// (labels.h) or the Unicode text of the standard-format exports. `Text` reads field data:
//   std::string eightBit(Bytes data) const;   // 8-bit text, controls but CR and LF removed
//   std::string sixteenBit(Bytes data) const; // a leading byte, then UTF-16 units high first

#include <cstdint>
#include <string>

#include "ipd/byte_reader.h"
#include "ipd/fields.h"
#include "text/single_byte.h"
#include "text/utf16.h"
#include "ipd/ipd_format.h"

namespace orrelin::label_rules {

inline constexpr std::size_t kFieldsOffset = 6;      // after the handle and the unique id
inline constexpr std::size_t kSmsFieldsOffset = 73;  // after the fixed leading part of a message

inline Bytes PlainFields(Bytes body) {
    return Tail(body, kFieldsOffset);
}

// The fields of the "- All" forms lie inside the record's first type-10 field.
inline Bytes Fields(Bytes body, bool all) {
    Bytes plain = PlainFields(body);
    return all ? FindField(plain, 10) : plain;
}

// The 16-bit field when it has data, else the 8-bit one.
template <typename Text>
std::string TitleOf(Bytes fields, std::uint8_t eightBitType, std::uint8_t sixteenBitType,
                    const Text& text) {
    Bytes wide = FindField(fields, sixteenBitType);
    if (!wide.empty()) return text.sixteenBit(wide);
    return text.eightBit(FindField(fields, eightBitType));
}

template <typename Text>
std::string Sms(Bytes body, const Text& text) {
    return text.eightBit(FindField(Tail(body, kSmsFieldsOffset), 2));
}

template <typename Text>
std::string Contact(Bytes body, bool all, const Text& text) {
    Bytes fields = Fields(body, all);
    Bytes wide = FindField(fields, 160);
    if (!wide.empty()) {
        return text.sixteenBit(wide) + " " + text.sixteenBit(FindField(fields, 160, 2));
    }
    return text.eightBit(FindField(fields, 32)) + " " + text.eightBit(FindField(fields, 32, 2));
}

template <typename Text>
std::string Call(Bytes body, const Text& text) {
    Bytes fields = PlainFields(body);
    if (Bytes wide = FindField(fields, 159); !wide.empty()) {
        if (std::string name = text.sixteenBit(wide); !name.empty()) return name;
    }
    for (std::uint8_t type : {std::uint8_t{31}, std::uint8_t{12}}) {
        if (std::string name = text.eightBit(FindField(fields, type)); !name.empty()) return name;
    }
    return "Unknown Number";
}

template <typename Text>
std::string Label(KnownDb db, Bytes body, const Text& text) {
    switch (db) {
        case KnownDb::Sms:
            return Sms(body, text);
        case KnownDb::AddressBookAll:
            return Contact(body, true, text);
        case KnownDb::AddressBook:
            return Contact(body, false, text);
        case KnownDb::Memos:
            return TitleOf(PlainFields(body), 1, 129, text);
        case KnownDb::Tasks:
            return TitleOf(PlainFields(body), 2, 130, text);
        case KnownDb::Calendar:
            return TitleOf(Fields(body, false), 2, 130, text);
        case KnownDb::CalendarAll:
            return TitleOf(Fields(body, true), 2, 130, text);
        case KnownDb::ServiceBook:
            return text.eightBit(FindField(PlainFields(body), 3));
        case KnownDb::PhoneCallLogs:
            return Call(body, text);
    }
    return {};
}

}  // namespace orrelin::label_rules
