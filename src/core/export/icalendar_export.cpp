// The iCalendar export: a VEVENT per appointment and a VTODO per task between the calendar's
// header and footer, in full Unicode, times as UTC instants (icalendar_writer.h writes them).

#include "decoders/calendar_decoder.h"
#include "decoders/task_decoder.h"
#include "export/export_writer.h"
#include "export/icalendar_writer.h"

namespace orrelin {
namespace {

class ICalendarWriter final : public ExportWriter {
  public:
    ICalendarWriter(const ExportHead& head, std::string& out)
        : head_(head), out_(out), context_(UnicodeContext(head.request)) {}

    void begin() override { out_.append(ICalendarHeader()); }
    void end() override { out_.append(ICalendarFooter()); }

    void record(const RecordItem& item) override {
        const IpdImage& image = head_.tree.image();
        const std::string uid = RecordUid(NameOf(item.db), image, item.span);
        if (item.db == KnownDb::Tasks) {
            AppendTodo(DecodeTask(image, item.span, context_), uid, head_.stampUtc, out_);
        } else {
            AppendEvent(DecodeCalendar(image, item.span, IsAllForm(item.db), context_),
                        uid, head_.stampUtc, out_);
        }
    }

  private:
    const ExportHead& head_;
    std::string& out_;
    const DecodeContext context_;
};

}  // namespace

std::unique_ptr<ExportWriter> MakeICalendarWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<ICalendarWriter>(head, out);
}

}  // namespace orrelin
