#include "decoders/text_field.h"

#include "ipd/fields.h"
#include "text/ascii_run.h"
#include "text/codepage.h"
#include "text/single_byte.h"
#include "text/utf16.h"

namespace orrelin {
namespace {

bool IsStrippedControl(char32_t c) {
    return c < 0x20 && c != '\r' && c != '\n';
}

}  // namespace

std::string EightBitText(Bytes data, bool strip, const TextOptions& options) {
    if (data.empty()) return {};  // most fields a record is read for are absent
    if (!options.unicode) return strip ? BytesToStrippedText(data, true) : BytesToText(data);
    // Runs of plain ASCII (most texts are nothing else) are copied whole.
    const char* chars = reinterpret_cast<const char*>(data.data());
    const std::size_t first = PrintableAsciiRun(data.data(), data.size());
    if (first == data.size()) return std::string(chars, data.size());
    std::string out;
    out.reserve(data.size() + data.size() / 4);
    out.append(chars, first);
    std::size_t i = first;
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
    if (options.unicode) return Utf16BeToUtf8(units, strip);
    SingleByteText text = Utf16BeToText(units);
    return strip ? StripControlChars(text, true) : text;
}

namespace {

// The data after the leading byte without the zero bytes at its end.
std::string_view Utf8Part(Bytes data) {
    Bytes rest = Tail(data, 1);
    std::size_t n = rest.size();
    while (n > 0 && rest[n - 1] == 0)
        --n;
    return {reinterpret_cast<const char*>(rest.data()), n};
}

}  // namespace

bool IsZeroThenUtf8(Bytes data) {
    if (data.empty() || data[0] != 0) return false;
    const std::string_view text = Utf8Part(data);
    if (text.empty()) return false;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<std::uint8_t>(text[i]);
        if (b < 0x80) {
            if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') return false;
            ++i;
            continue;
        }
        const std::size_t n = Utf8SequenceLength(text.substr(i));
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string ZeroThenUtf8Text(Bytes data, const TextOptions& options) {
    const std::string_view text = Utf8Part(data);
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = DecodeUtf8(text.substr(i));
        const char32_t u = c ? c->code : U'\uFFFD';
        i += c ? c->length : 1;
        if (IsStrippedControl(u)) continue;
        if (options.unicode) {
            AppendUtf8(out, u);
        } else {
            out.push_back(static_cast<char>(UnicodeToCp1256(u)));
        }
    }
    return out;
}

std::string SixteenBitText(Bytes data, const TextOptions& options) {
    if (options.wideMayBeUtf8 && IsZeroThenUtf8(data)) return ZeroThenUtf8Text(data, options);
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
