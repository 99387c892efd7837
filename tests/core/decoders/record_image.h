#pragma once

// One record body alone in an image, for decoder tests.

#include <string>
#include <vector>

#include "ipd/ipd_builder.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin::testing {

struct RecordImage {
    IpdImage image;
    RecordSpan span;
};

// The body as the whole file: its span runs from byte 0 to its last byte.
inline RecordImage BodyImage(const ByteVector& body) {
    RecordImage r{IpdImage(body), {}};
    r.span = {0, body.empty() ? 0 : body.size() - 1};
    if (body.empty()) r.span = {1, 0};  // end before start: an empty body
    return r;
}

// A body of handle 1, unique id 0x11223344 and the fields.
inline RecordImage FieldsImage(const FieldList& fields) {
    ByteVector body{0x01, 0x00, 0x44, 0x33, 0x22, 0x11};
    body.insert(body.end(), fields.bytes().begin(), fields.bytes().end());
    return BodyImage(body);
}

// A span that reaches past the end of the image.
inline RecordSpan PastTheEnd(const RecordImage& r) {
    return {0, r.image.size() + 10};
}

// A 16-bit text field of UTF-16 text: one leading byte, then units high byte first.
inline ByteVector Utf16Data(std::u16string_view text, std::uint8_t lead = 0) {
    ByteVector data{lead};
    for (char16_t unit : text) {
        data.push_back(static_cast<std::uint8_t>(unit >> 8));
        data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    }
    return data;
}

}  // namespace orrelin::testing
