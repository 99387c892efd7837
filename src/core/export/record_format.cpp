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

void FormatValues(RecordKind kind, std::span<const std::string> values, ExportFormat format,
                  std::string& out) {
    const RecordKindInfo& info = InfoOf(kind);
    static const std::string kNone;
    auto valueOf = [&](const ExportColumn& column) -> const std::string& {
        return column.slot < values.size() ? values[column.slot] : kNone;
    };
    if (format == ExportFormat::Csv) {
        bool first = true;
        for (const ExportColumn& column : info.columns) {
            if (!first) out.push_back(',');
            first = false;
            AppendCsvValue(valueOf(column), out);
        }
        return;
    }
    out.append(kLineBreak);
    out.append(kRecordRule);
    for (const ExportColumn& column : info.columns) {
        out.append(kLineBreak);
        out.push_back('\t');
        out.append(column.name);
        out.append(": ");
        out.append(valueOf(column));
    }
    if (info.blankLineAfter) out.append(kLineBreak);
}

void FormatSms(const SmsRecord& record, ExportFormat format, std::string& out) {
    FormatValues(RecordKind::Sms, record.values, format, out);
}
void FormatAddress(const ContactRecord& record, ExportFormat format, std::string& out) {
    FormatValues(RecordKind::Address, record.values, format, out);
}
void FormatTask(const TaskRecord& record, ExportFormat format, std::string& out) {
    FormatValues(RecordKind::Task, record.values, format, out);
}
void FormatMemo(const MemoRecord& record, ExportFormat format, std::string& out) {
    FormatValues(RecordKind::Memo, record.values, format, out);
}
void FormatCalendar(const CalendarRecord& record, ExportFormat format, std::string& out) {
    FormatValues(RecordKind::Calendar, record.values, format, out);
}
void FormatPhoneCall(const CallRecord& record, ExportFormat format, std::string& out) {
    FormatValues(RecordKind::PhoneCall, record.values, format, out);
}

std::string CsvHeader(RecordKind kind) {
    std::string header;
    for (const ExportColumn& column : InfoOf(kind).columns) {
        if (!header.empty()) header.push_back(',');
        header.append(column.name);
    }
    return header;
}

}  // namespace orrelin
