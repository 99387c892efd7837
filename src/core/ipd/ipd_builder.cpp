#include "ipd/ipd_builder.h"

#include <algorithm>

#include "ipd/ipd_bytes.h"
#include "ipd/record_frame.h"

namespace orrelin {

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
    AppendLe(data, value, width);
    return add(type, data);
}

FieldList& FieldList::raw(const ByteVector& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

std::uint16_t IpdBuilder::database(std::string_view name) {
    AppendNameEntry(names_, name);
    return entries_++;
}

std::uint16_t IpdBuilder::rawDatabase(const ByteVector& nameBytes) {
    AppendLe16(names_, static_cast<std::uint16_t>(nameBytes.size()));
    names_.insert(names_.end(), nameBytes.begin(), nameBytes.end());
    return entries_++;
}

IpdBuilder& IpdBuilder::record(std::uint16_t database, const ByteVector& fields,
                               std::uint16_t handle, std::uint32_t uniqueId, std::uint8_t version) {
    AppendRecord(tail_, database, version, handle, uniqueId, fields);
    ++records_;
    return *this;
}

IpdBuilder& IpdBuilder::body(std::uint16_t database, const ByteVector& bodyBytes,
                             std::uint8_t version) {
    AppendRecordBody(tail_, database, version, bodyBytes);
    ++records_;
    return *this;
}

IpdBuilder& IpdBuilder::filler(std::uint8_t fifth, std::uint8_t sixth) {
    AppendFiller(tail_, fifth, sixth);
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
    // The header is made apart and the whole copied into a vector sized once: growing one vector
    // part by part draws false -Warray-bounds and -Wstringop-overflow warnings from GCC 12.
    ByteVector header;
    AppendIpdHeader(header, static_cast<std::uint16_t>(declared_ >= 0 ? declared_ : entries_));
    ByteVector out(header.size() + names_.size() + tail_.size());
    auto at = std::copy(header.begin(), header.end(), out.begin());
    at = std::copy(names_.begin(), names_.end(), at);
    std::copy(tail_.begin(), tail_.end(), at);
    return out;
}

}  // namespace orrelin
