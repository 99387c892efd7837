#include "export/contact_csv.h"

#include "export/standard_text.h"
#include "export/vcard_writer.h"

namespace orrelin {
namespace {

bool NeedsQuotes(std::string_view value) {
    if (value.empty()) return false;
    if (value.front() == ' ' || value.back() == ' ') return true;
    return value.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

void AppendCsvLine(std::span<const std::string_view> fields, std::string& out) {
    bool first = true;
    for (std::string_view field : fields) {
        if (!first) out += ',';
        first = false;
        const std::string value = CleanText(field);
        if (!NeedsQuotes(value)) {
            out += value;
            continue;
        }
        out += '"';
        for (char c : value) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    out += "\r\n";
}

std::string StreetLines(std::string_view first, std::string_view second) {
    std::string street(first);
    if (!street.empty() && !second.empty()) street += '\n';
    street.append(second);
    return street;
}

std::string CsvDate(std::string_view text) {
    if (auto date = ContactDate(text)) return *date;
    return std::string(text);
}

}  // namespace orrelin
