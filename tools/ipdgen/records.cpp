#include "records.h"

namespace orrelin::ipdgen {
namespace {

void PutLe(ByteVector& out, std::size_t at, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void AppendText(ByteVector& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

}  // namespace

ByteVector Utf16Be(std::u16string_view text) {
    ByteVector out;
    out.reserve(text.size() * 2);
    for (char16_t unit : text) {
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    }
    return out;
}

ByteVector SmsFields(bool sent, std::uint64_t sentMs, std::uint64_t receivedMs,
                     std::string_view number, const ByteVector& textData) {
    // The leading field's data are body bytes 9-54: offsets in it are body offsets - 9.
    ByteVector lead(46, 0);
    lead[0] = sent ? 0 : 1;
    lead[1] = 1;
    lead[5] = 0xFF;
    lead[6] = 0x07;
    PutLe(lead, 22 - 9, sentMs, 6);
    PutLe(lead, 30 - 9, receivedMs, 6);
    lead[39 - 9] = 4;

    ByteVector numberData;
    numberData.reserve(4 + number.size() + 1);
    numberData.resize(4, 0);
    AppendText(numberData, number);
    numberData.push_back(0);

    ByteVector flags(12, 0);
    flags[1] = 4;
    flags[10] = 1;
    flags[11] = 1;

    FieldList fields;
    fields.add(1, lead)
        .add(9, ByteVector(8, 0))
        .add(11, {1, 0, 1, 0})
        .add(2, numberData)
        .add(4, textData)
        .add(7, flags);
    return fields.bytes();
}

FieldList CallFields(std::uint32_t direction, std::uint32_t seconds, std::uint64_t timeMs,
                     std::uint32_t status, std::string_view number, std::string_view name) {
    FieldList fields;
    fields.le(2, direction, 4).le(3, seconds, 4).le(4, timeMs, 8).le(6, status, 4).text(12, number);
    if (!name.empty()) fields.text(31, name);
    return fields;
}

ByteVector ConfigLayoutA(const ConfigValues& values) {
    constexpr std::array<std::uint8_t, 6> kTypes{1, 3, 4, 9, 10, 11};
    ByteVector out{0x02, 0x00};
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out.push_back(0);
        out.push_back(static_cast<std::uint8_t>(values[i].size() + 1));
        out.push_back(kTypes[i]);
        AppendText(out, values[i]);
        out.push_back(0);
    }
    return out;
}

ByteVector ConfigLayoutB(const ConfigValues& values) {
    constexpr std::array<std::uint8_t, 6> kTypes{1, 8, 6, 7, 3, 2};
    ByteVector out{0x01};
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i].empty()) continue;
        out.push_back(kTypes[i]);
        out.push_back(static_cast<std::uint8_t>(values[i].size()));
        AppendText(out, values[i]);
    }
    return out;
}

ByteVector Wrapped(const ByteVector& fields, const ByteVector& lead) {
    ByteVector data(lead);
    data.insert(data.end(), fields.begin(), fields.end());
    return FieldList().add(10, data).bytes();
}

std::uint32_t UniqueId(std::uint32_t database, std::uint64_t n) {
    // splitmix64 of the pair: well spread, and the same on every run.
    std::uint64_t z = (static_cast<std::uint64_t>(database) << 40) + n + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>(z ^ (z >> 31));
}

}  // namespace orrelin::ipdgen
