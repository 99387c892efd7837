#include "decoders/text_field.h"

#include "text/ascii_run.h"
#include "text/codepage.h"
#include "ipd/hex.h"

namespace orrelin {
namespace {

bool IsStrippedControl(char32_t c) {
    return c < 0x20 && c != '\r' && c != '\n';
}

bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// UTF-16 code units, high byte first, as UTF-8: surrogate pairs combined, lone surrogates
// become U+FFFD.
std::string Utf16ToUtf8(Bytes units, bool strip) {
    std::string out;
    out.reserve(units.size());
    std::size_t i = 0;
    auto unitAt = [&](std::size_t at) -> char32_t {
        if (at + 1 < units.size()) return static_cast<char32_t>(units[at] << 8 | units[at + 1]);
        return units[at];  // a lone last byte
    };
    while (i < units.size()) {
        char32_t u = unitAt(i);
        i += 2;
        if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(unitAt(i))) {
            u = 0x10000 + ((u - 0xD800) << 10) + (unitAt(i) - 0xDC00);
            i += 2;
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            u = 0xFFFD;
        }
        if (strip && IsStrippedControl(u)) continue;
        AppendUtf8(out, u);
    }
    return out;
}

}  // namespace

std::string EightBitText(Bytes data, bool strip, const TextOptions& options) {
    if (!options.unicode) return strip ? BytesToStrippedText(data, true) : BytesToText(data);
    // Runs of plain ASCII (most texts are nothing else) are copied whole.
    std::string out;
    out.reserve(data.size() + data.size() / 4);
    const char* chars = reinterpret_cast<const char*>(data.data());
    std::size_t i = 0;
    while (i < data.size()) {
        const std::size_t plain = i + PrintableAsciiRun(data.data() + i, data.size() - i);
        out.append(chars + i, plain - i);
        if (plain == data.size()) break;
        const std::uint8_t b = data[plain];
        if (!(strip && IsStrippedControl(b))) {
            AppendUtf8(out, CodePageToUnicode(options.eightBitPage, b));
        }
        i = plain + 1;
    }
    return out;
}

std::string Utf16Text(Bytes units, bool strip, const TextOptions& options) {
    if (options.unicode) return Utf16ToUtf8(units, strip);
    SingleByteText text = Utf16BeToText(units);
    return strip ? StripControlChars(text, true) : text;
}

std::string SixteenBitText(Bytes data, const TextOptions& options) {
    return Utf16Text(Tail(data, 1), true, options);
}

std::string TextField(Bytes fields, std::uint8_t t, bool stripEightBit,
                      const TextOptions& options) {
    return TextFieldPair(fields, t, static_cast<std::uint8_t>(t + 128), stripEightBit, options);
}

std::string TextFieldPair(Bytes fields, std::uint8_t eightBitType, std::uint8_t sixteenBitType,
                          bool stripEightBit, const TextOptions& options) {
    // A 16-bit field counts as soon as it has data, even when that is only its leading byte.
    Bytes wide = FindField(fields, sixteenBitType);
    if (!wide.empty()) return SixteenBitText(wide, options);
    return EightBitText(FindField(fields, eightBitType), stripEightBit, options);
}

}  // namespace orrelin
