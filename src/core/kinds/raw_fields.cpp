#include "kinds/raw_fields.h"

#include <algorithm>

namespace orrelin {
namespace {

// Handle (2 bytes) and unique id (4 bytes) come before the fields.
constexpr std::size_t kFieldsAt = 6;
constexpr std::size_t kLabelLength = 60;

bool Printable(std::uint8_t byte) {
    return byte >= 0x20 && byte <= 0x7E;
}

}  // namespace

std::vector<RawField> ReadRawFields(Bytes body) {
    std::vector<RawField> fields;
    const Bytes all = Tail(body, kFieldsAt);
    ByteReader reader(all);
    while (reader.remaining() >= 3) {
        RawField field;
        field.length = *reader.le16();
        field.type = *reader.u8();
        const std::size_t at = reader.position();
        // A field that ends the record without data is an empty span at the record's end.
        field.data = at < all.size() ? Slice(all, at, field.length) : all.last(0);
        reader.skip(field.length);
        fields.push_back(field);
    }
    return fields;
}

std::string RawHex(Bytes data) {
    return BytesToHex(data, ' ');
}

std::string RawText(Bytes data) {
    std::string out;
    out.reserve(data.size());
    for (std::uint8_t byte : data)
        out.push_back(Printable(byte) ? static_cast<char>(byte) : '.');
    return out;
}

SingleByteText RawLabel(Bytes body) {
    for (const RawField& field : ReadRawFields(body)) {
        Bytes text = field.data;
        if (!text.empty() && text.back() == 0) text = text.first(text.size() - 1);
        if (text.size() >= 2 && std::all_of(text.begin(), text.end(), Printable))
            return RawText(text.first(std::min(text.size(), kLabelLength)));
    }
    if (body.size() < 2) return "Record";
    return "Record " + std::to_string(body[0] | body[1] << 8);
}

}  // namespace orrelin
