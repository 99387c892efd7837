// The text and CSV exports: the window's own single-byte texts, an item per record behind four
// spaces per tree depth (8 in a whole-file export, where records sit at depth 2; none
// otherwise), each item followed by CR LF. Banners (a row of 71 asterisks, the title behind its
// spaces, the row again) open a one-record or one-database export and each database of a
// whole-file export; a one-database CSV export has its header line under the banner. When the
// request's decode context asks for full Unicode the texts are UTF-8 instead, and a CSV file
// begins with a byte order mark so that spreadsheet programs read it as UTF-8.

#include "export/export_writer.h"
#include "export/record_format.h"

namespace orrelin {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

class TextWriter final : public ExportWriter {
  public:
    TextWriter(const ExportHead& head, std::string& out, bool csv)
        : head_(head), out_(out), csv_(csv) {}

    void begin() override {
        if (csv_ && head_.request.context.text.unicode) out_.append(kUtf8ByteOrderMark);
        const ExportScope scope = head_.request.scope;
        if (scope == ExportScope::File || !head_.scopeDatabase) return;
        const KindInfo& kind = KindInfoOf(*head_.scopeDatabase);
        if (!kind.textExported()) return;
        if (scope == ExportScope::Record) {
            banner(kOptionTitleIndent, kind.text.selectedTitle);
            return;
        }
        banner(kOptionTitleIndent, kind.text.allTitle);
        if (csv_) {
            out_.append(CsvHeader(kind.kind));
            out_.append(kLineBreak);
        }
    }

    void beginDatabase(KnownDb db) override {
        if (head_.request.scope != ExportScope::File) return;
        const DatabaseKind& kind = KindOf(db);
        banner(kind.fileTitleIndent, kind.fileTitle);
    }

    void record(const RecordItem& item) override {
        if (head_.request.scope == ExportScope::File) out_.append(8, ' ');
        DecodeRecord(head_.tree.image(), item.db, item.span, head_.request.context, values_);
        FormatValues(KindOf(item.db).kind, values_.view(), csv_, out_);
        out_.append(kLineBreak);
    }

  private:
    void banner(std::size_t indent, std::string_view title) {
        out_.append(kBannerRow);
        out_.append(kLineBreak);
        out_.append(indent, ' ');
        out_.append(title);
        out_.append(kLineBreak);
        out_.append(kBannerRow);
        out_.append(kLineBreak);
    }

    const ExportHead& head_;
    std::string& out_;
    const bool csv_;
    RecordValues values_;
};

}  // namespace

std::unique_ptr<ExportWriter> MakeTextWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<TextWriter>(head, out, false);
}

std::unique_ptr<ExportWriter> MakeCsvWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<TextWriter>(head, out, true);
}

}  // namespace orrelin
