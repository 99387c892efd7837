#pragma once

#include <string>

#include "decoders/time_format.h"
#include "ipd/ipd_image.h"
#include "text/codepage.h"

namespace orrelin {

// How decoded text is delivered. The program's own form is single-byte text: 8-bit fields give
// one character per byte and 16-bit fields are reduced to code page 1256. The Unicode form
// (for exports that keep every character) gives UTF-8: 16-bit fields decoded from their UTF-16
// code units, 8-bit fields read through `eightBitPage`.
//
// `wideMayBeUtf8` is set for records of a backup assembled from a .bbb archive: there a 16-bit
// field may hold a zero byte followed by UTF-8 instead of UTF-16 (see text_field.h).
struct TextOptions {
    bool unicode = false;
    CodePage eightBitPage = CodePage::Cp1252;
    bool wideMayBeUtf8 = false;
};

// The options for reading records of `image`: 16-bit fields may hold UTF-8 when it was
// assembled from an archive.
inline TextOptions TextOptionsFor(const IpdImage& image, TextOptions options) {
    options.wideMayBeUtf8 = options.wideMayBeUtf8 || image.fromArchive();
    return options;
}

// What a decoder needs besides the record: the time-zone text (already with "GMT" replaced
// by "0"), the date style, and the text form.
struct DecodeContext {
    std::string timeZoneText = "0";
    DateStyle dateStyle;
    TextOptions text;
    // Off for exports that write times as instants only: the message and call decoders then
    // leave their shown times empty instead of formatting them.
    bool displayTimes = true;
};

}  // namespace orrelin
