#include "kinds/raw_fields.h"

#include <algorithm>

namespace orrelin {
namespace {

constexpr std::size_t kLabelLength = 60;

bool Printable(std::uint8_t byte) {
    return byte >= 0x20 && byte <= 0x7E;
}

}  // namespace

std::vector<RawField> ReadRawFields(Bytes body) {
    std::vector<RawField> fields;
    FieldWalker walker(Tail(body, kBodyFieldsAt));
    while (auto field = walker.next())
        fields.push_back(*field);
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
