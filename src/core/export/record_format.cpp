#include "export/record_format.h"

namespace orrelin {
namespace {

void AppendCsvValue(std::string_view value, std::string& out) {
    out.push_back('"');
    for (std::size_t quote = value.find('"'); quote != std::string_view::npos;
         quote = value.find('"')) {
        out.append(value.substr(0, quote + 1));
        out.push_back('"');
        value.remove_prefix(quote + 1);
    }
    out.append(value);
    out.push_back('"');
}

}  // namespace

void FormatValues(RecordKind kind, std::span<const std::string> values, bool csv,
                  std::string& out) {
    static const std::string kNone;
    auto valueOf = [&](const FieldRow& column) -> const std::string& {
        return column.slot < values.size() ? values[column.slot] : kNone;
    };
    const std::span<const FieldRow> columns = ExportColumns(kind);
    if (csv) {
        bool first = true;
        for (const FieldRow& column : columns) {
            if (!first) out.push_back(',');
            first = false;
            AppendCsvValue(valueOf(column), out);
        }
        return;
    }
    out.append(kLineBreak);
    out.append(kRecordRule);
    for (const FieldRow& column : columns) {
        out.append(kLineBreak);
        out.push_back('\t');
        out.append(column.column);
        out.append(": ");
        out.append(valueOf(column));
    }
    if (InfoOf(kind).text.blankLineAfter) out.append(kLineBreak);
}

std::string CsvHeader(RecordKind kind) {
    std::string header;
    for (const FieldRow& column : ExportColumns(kind)) {
        if (!header.empty()) header.push_back(',');
        header.append(column.column);
    }
    return header;
}

}  // namespace orrelin
