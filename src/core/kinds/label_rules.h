#pragma once

// The rules that make a record's one-line label, in any text form: the tree's single-byte text
// (labels.h) or the Unicode text of the standard-format exports. `Text` reads field data:
//   std::string eightBit(Bytes data) const;   // 8-bit text, controls but CR and LF removed
//   std::string sixteenBit(Bytes data) const; // a leading byte, then UTF-16 units high first

#include <cstdint>
#include <string>

#include "decoders/browser_decoder.h"
#include "decoders/field_tables.h"
#include "decoders/mail_decoder.h"
#include "decoders/sms_decoder.h"
#include "decoders/text_field.h"
#include "ipd/byte_reader.h"
#include "base/bytes.h"
#include "base/paths.h"
#include "ipd/fields.h"
#include "text/single_byte.h"
#include "text/utf16.h"
#include "ipd/ipd_format.h"

namespace orrelin::label_rules {

inline constexpr std::size_t kFieldsOffset = 6;  // after the handle and the unique id

// The tree's text form: single-byte text, 16-bit text reduced to code page 1256. In a backup
// from an archive (WideMayBeUtf8) a 16-bit field may hold UTF-8 instead (see TextOptions).
template <bool WideMayBeUtf8>
struct SingleByteFormOf {
    std::string eightBit(Bytes data) const { return BytesToStrippedText(data, true); }
    std::string sixteenBit(Bytes data) const {
        if constexpr (WideMayBeUtf8) {
            if (IsZeroThenUtf8(data)) return ZeroThenUtf8Text(data, TextOptions{});
        }
        return StripControlChars(Utf16BeToText(Tail(data, 1)), true);
    }
};
using SingleByteForm = SingleByteFormOf<false>;
using ArchiveSingleByteForm = SingleByteFormOf<true>;

// The full Unicode form of the exports that keep every character.
struct UnicodeForm {
    const TextOptions& options;
    std::string eightBit(Bytes data) const { return EightBitText(data, true, options); }
    std::string sixteenBit(Bytes data) const { return SixteenBitText(data, options); }
};

inline Bytes PlainFields(Bytes body) {
    return Tail(body, kFieldsOffset);
}

// The fields of the "- All" forms lie inside the record's first type-10 field.
inline Bytes Fields(Bytes body, bool all) {
    Bytes plain = PlainFields(body);
    return all ? FindField(plain, 10) : plain;
}

// The 16-bit field of a table row when it has data, else its 8-bit one.
template <typename Text>
std::string TitleOf(Bytes fields, const FieldRow& field, const Text& text) {
    Bytes wide = FindField(fields, field.wideType);
    if (!wide.empty()) return text.sixteenBit(wide);
    return text.eightBit(FindField(fields, field.type));
}

template <typename Text>
std::string Sms(Bytes body, const Text& text) {
    return text.eightBit(
        FindField(Tail(body, kSmsFieldsOffset), FieldOf(kSmsFields, SmsRecord::Number).type));
}

// The first name and the last name, in the form of the first name's field.
template <typename Text>
std::string Contact(Bytes body, bool all, const Text& text) {
    constexpr const FieldRow& name = FieldOf(kContactFields, 1);
    Bytes fields = Fields(body, all);
    Bytes wide = FindField(fields, name.wideType);
    if (!wide.empty()) {
        return text.sixteenBit(wide) + " " + text.sixteenBit(FindField(fields, name.wideType, 2));
    }
    return text.eightBit(FindField(fields, name.type)) + " " +
           text.eightBit(FindField(fields, name.type, 2));
}

// The caller's name, else the number.
template <typename Text>
std::string Call(Bytes body, const Text& text) {
    constexpr const FieldRow& name = FieldOf(kCallFields, 0);
    constexpr const FieldRow& number = FieldOf(kCallFields, 1);
    Bytes fields = PlainFields(body);
    if (Bytes wide = FindField(fields, name.wideType); !wide.empty()) {
        if (std::string shown = text.sixteenBit(wide); !shown.empty()) return shown;
    }
    for (std::uint8_t type : {name.type, number.type}) {
        if (std::string shown = text.eightBit(FindField(fields, type)); !shown.empty()) return shown;
    }
    return "Unknown Number";
}

// A message's subject (the 8-bit one up to its closing zero byte), else "(no subject)".
template <typename Text>
std::string Mail(Bytes body, const Text& text) {
    Bytes fields = PlainFields(body);
    std::string subject;
    if (Bytes wide = FindField(fields, kMailSubject + 128); !wide.empty()) {
        subject = text.sixteenBit(wide);
    } else {
        Bytes data = FindField(fields, kMailSubject);
        std::size_t n = 0;
        while (n < data.size() && data[n] != 0)
            ++n;
        subject = text.eightBit(data.first(n));
    }
    return subject.empty() ? "(no subject)" : subject;
}

// A bookmark's name, else its URL.
template <typename Text>
std::string Bookmark(Bytes body, const Text& text) {
    Bytes fields = PlainFields(body);
    std::string name = text.eightBit(BookmarkItemBytes(FindField(fields, kBookmarkItems))[1]);
    if (!name.empty()) return name;
    return text.eightBit(BookmarkUrlBytes(FindField(fields, kBookmarkUrl)));
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
            return TitleOf(PlainFields(body), FieldOf(kMemoFields, 0), text);
        case KnownDb::Tasks:
            return TitleOf(PlainFields(body), FieldOf(kTaskFields, 0), text);
        case KnownDb::Calendar:
            return TitleOf(Fields(body, false), FieldOf(kCalendarFields, 0), text);
        case KnownDb::CalendarAll:
            return TitleOf(Fields(body, true), FieldOf(kCalendarFields, 0), text);
        case KnownDb::ServiceBook:
            return text.eightBit(FindField(PlainFields(body), FieldOf(kServiceBookFields, 17).type));
        case KnownDb::PhoneCallLogs:
            return Call(body, text);
        case KnownDb::Messages:
        case KnownDb::PinMessages:
        case KnownDb::SavedEmail:
            return Mail(body, text);
        case KnownDb::BrowserBookmarks:
            return Bookmark(body, text);
        case KnownDb::BrowserUrls:
        case KnownDb::BrowserHistory:
            return text.eightBit(Tail(FindField(PlainFields(body), kBrowserUrl), kBrowserUrlLead));
        case KnownDb::TimeZones:
            return TitleOf(PlainFields(body), FieldOf(kTimeZoneFields, 0), text);
    }
    return {};
}

}  // namespace orrelin::label_rules
