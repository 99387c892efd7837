#include "export/vcard_writer.h"

namespace orrelin {

std::vector<std::uint8_t> ContactPhotoBytes(const IpdImage&, RecordSpan) {
    return {};
}

void AppendVCard(const ContactRecord&, std::span<const std::uint8_t>, std::string_view,
                 std::string&) {}

std::string EscapeVCardText(std::string_view text, bool) {
    return std::string(text);
}

void AppendFoldedLine(std::string_view line, std::string& out) {
    out += line;
    out += "\r\n";
}

std::string Base64Encode(std::span<const std::uint8_t>) {
    return {};
}

}  // namespace orrelin
