#include "ipd/ipd_builder.h"

#include <algorithm>
#include <iterator>

#include "ipd/ipd_format.h"

namespace orrelin {

void AppendLe16(ByteVector& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void AppendLe32(ByteVector& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

FieldList& FieldList::add(std::uint8_t type, const ByteVector& data) {
    AppendLe16(bytes_, static_cast<std::uint16_t>(data.size()));
    bytes_.push_back(type);
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
}

FieldList& FieldList::text(std::uint8_t type, std::string_view text, bool nul) {
    ByteVector data(text.begin(), text.end());
    if (nul) data.push_back(0);
    return add(type, data);
}

FieldList& FieldList::utf16(std::uint8_t type, std::u16string_view text, std::uint8_t lead) {
    ByteVector data{lead};
    for (char16_t unit : text) {
        data.push_back(static_cast<std::uint8_t>(unit >> 8));
        data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    }
    return add(type, data);
}

FieldList& FieldList::le(std::uint8_t type, std::uint64_t value, std::size_t width) {
    ByteVector data;
    for (std::size_t i = 0; i < width; ++i)
        data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return add(type, data);
}

FieldList& FieldList::raw(const ByteVector& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

std::uint16_t IpdBuilder::database(std::string_view name) {
    ByteVector bytes(name.begin(), name.end());
    bytes.push_back(0);
    return rawDatabase(bytes);
}

std::uint16_t IpdBuilder::rawDatabase(const ByteVector& nameBytes) {
    AppendLe16(names_, static_cast<std::uint16_t>(nameBytes.size()));
    names_.insert(names_.end(), nameBytes.begin(), nameBytes.end());
    return entries_++;
}

IpdBuilder& IpdBuilder::record(std::uint16_t database, const ByteVector& fields,
                               std::uint16_t handle, std::uint32_t uniqueId, std::uint8_t version) {
    ByteVector bodyBytes;
    AppendLe16(bodyBytes, handle);
    AppendLe32(bodyBytes, uniqueId);
    bodyBytes.insert(bodyBytes.end(), fields.begin(), fields.end());
    return body(database, bodyBytes, version);
}

IpdBuilder& IpdBuilder::body(std::uint16_t database, const ByteVector& bodyBytes,
                             std::uint8_t version) {
    AppendLe16(tail_, database);
    AppendLe32(tail_, static_cast<std::uint32_t>(bodyBytes.size() + 1));
    tail_.push_back(version);
    tail_.insert(tail_.end(), bodyBytes.begin(), bodyBytes.end());
    ++records_;
    return *this;
}

IpdBuilder& IpdBuilder::filler(std::uint8_t fifth, std::uint8_t sixth) {
    tail_.insert(tail_.end(), {0xFF, 0xFF, 0x02, 0x00, fifth, sixth});
    return *this;
}

IpdBuilder& IpdBuilder::raw(const ByteVector& bytes) {
    tail_.insert(tail_.end(), bytes.begin(), bytes.end());
    return *this;
}

IpdBuilder& IpdBuilder::declaredCount(std::uint16_t count) {
    declared_ = count;
    return *this;
}

ByteVector IpdBuilder::build() const {
    auto count = static_cast<std::uint16_t>(declared_ >= 0 ? declared_ : entries_);
    const std::uint8_t counts[] = {0x0A, 0x02, static_cast<std::uint8_t>(count >> 8),
                                   static_cast<std::uint8_t>(count & 0xFF), 0x00};
    // Sized once and copied into: growing the vector part by part draws false -Warray-bounds and
    // -Wstringop-overflow warnings from GCC 12.
    ByteVector out(kIpdHeaderText.size() + sizeof counts + names_.size() + tail_.size());
    auto at = std::copy(kIpdHeaderText.begin(), kIpdHeaderText.end(), out.begin());
    at = std::copy(std::begin(counts), std::end(counts), at);
    at = std::copy(names_.begin(), names_.end(), at);
    std::copy(tail_.begin(), tail_.end(), at);
    return out;
}

}  // namespace orrelin
