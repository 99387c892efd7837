#include "text/single_byte.h"

#include "text/ascii_run.h"

namespace orrelin {
namespace {

bool IsControl(unsigned char c, bool keepLineBreaks) {
    if (c >= 0x20) return false;
    return !(keepLineBreaks && (c == '\r' || c == '\n'));
}

}  // namespace

SingleByteText BytesToText(Bytes bytes) {
    return SingleByteText(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

SingleByteText StripControlChars(std::string_view text, bool keepLineBreaks) {
    SingleByteText out;
    out.reserve(text.size());
    for (char c : text) {
        if (!IsControl(static_cast<unsigned char>(c), keepLineBreaks)) out.push_back(c);
    }
    return out;
}

SingleByteText BytesToStrippedText(Bytes bytes, bool keepLineBreaks) {
    // Most texts hold no control character: they are copied whole, the rest byte by byte.
    std::size_t clean = PrintableAsciiRun(bytes.data(), bytes.size());
    while (clean < bytes.size() && !IsControl(bytes[clean], keepLineBreaks))
        ++clean;
    SingleByteText out(reinterpret_cast<const char*>(bytes.data()), clean);
    if (clean == bytes.size()) return out;
    out.reserve(bytes.size());
    for (std::uint8_t b : bytes.subspan(clean)) {
        if (!IsControl(b, keepLineBreaks)) out.push_back(static_cast<char>(b));
    }
    return out;
}

}  // namespace orrelin
