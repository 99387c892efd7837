#pragma once

// A record's one-line label made by the label row of its kind (LabelRule, record_kinds.h), in any
// text form: the tree's single-byte text (labels.h) or the Unicode text of the standard-format
// exports. Only the fields the row names are read. `Text` reads field data:
//   std::string eightBit(Bytes data) const;   // 8-bit text, controls but CR and LF removed
//   std::string sixteenBit(Bytes data) const; // a leading byte, then UTF-16 units high first

#include <string>

#include "base/bytes.h"
#include "decoders/contact_decoder.h"
#include "decoders/text_field.h"
#include "ipd/byte_reader.h"
#include "kinds/record_kinds.h"
#include "text/single_byte.h"
#include "text/utf16.h"

namespace orrelin::label_rules {

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

// The field data a kind's label is read from, by its row (`allForm`: the database's records
// have the "- All" form).
LabelPieces LocateLabel(const KindInfo& kind, bool allForm, Bytes body);

template <typename Text>
std::string Label(const KindInfo& kind, bool allForm, Bytes body, const Text& text) {
    const LabelPieces pieces = LocateLabel(kind, allForm, body);
    auto read = [&text](const LabelPiece& piece) {
        return piece.wide ? text.sixteenBit(piece.data) : text.eightBit(piece.data);
    };
    if (kind.label.join == LabelJoin::Names)
        return ContactLabel(read(pieces.at[0]), read(pieces.at[1]));
    for (std::size_t i = 0; i < pieces.count; ++i) {
        if (pieces.at[i].data.empty()) continue;  // shows nothing in any form
        if (std::string shown = read(pieces.at[i]); !shown.empty()) return shown;
    }
    return std::string(kind.label.fallback);
}

}  // namespace orrelin::label_rules
