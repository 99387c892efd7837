// The mbox export: every email and PIN message of the scope, one after the other, as
// mbox_writer.h writes them.

#include "decoders/mail_decoder.h"
#include "export/export_writer.h"
#include "export/mbox_writer.h"

namespace orrelin {
namespace {

class MboxWriter final : public ExportWriter {
  public:
    MboxWriter(const ExportHead& head, std::string& out) : head_(head), out_(out) {
        context_.text =
            TextOptionsFor(head.tree.image(), TextOptions{true, head.request.eightBitPage});
        context_.displayTimes = false;
    }

    void record(const RecordItem& item) override {
        AppendMboxMessage(out_, DecodeMail(head_.tree.image(), item.span, context_));
    }

  private:
    const ExportHead& head_;
    std::string& out_;
    DecodeContext context_;
};

}  // namespace

std::unique_ptr<ExportWriter> MakeMboxWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<MboxWriter>(head, out);
}

}  // namespace orrelin
