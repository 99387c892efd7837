#include "ipd/record_index.h"

#include <charconv>

namespace orrelin {

std::string RecordSpan::tag() const {
    return std::to_string(start) + ":" + std::to_string(end);
}

std::optional<RecordSpan> RecordSpan::Parse(std::string_view tag) {
    auto colon = tag.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    RecordSpan span;
    auto parse = [](std::string_view text, std::uint64_t& out) {
        if (text.empty()) return false;
        auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
        return ec == std::errc() && ptr == text.data() + text.size();
    };
    if (!parse(tag.substr(0, colon), span.start) || !parse(tag.substr(colon + 1), span.end)) {
        return std::nullopt;
    }
    return span;
}

const DatabaseNode* RecordIndex::databaseNamed(std::string_view name) const {
    const DatabaseNode* first = nullptr;
    for (const auto& node : databases) {
        if (node.name() != name) continue;
        if (!node.records.empty()) return &node;
        if (!first) first = &node;
    }
    return first;
}

}  // namespace orrelin
