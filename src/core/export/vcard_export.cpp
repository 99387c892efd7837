// The vCard export: one vCard 4.0 per contact of the address books, in full Unicode, photo
// embedded (vcard_writer.h writes the card).

#include "decoders/contact_decoder.h"
#include "export/export_writer.h"
#include "export/icalendar_writer.h"
#include "export/vcard_writer.h"

namespace orrelin {
namespace {

class VCardWriter final : public ExportWriter {
  public:
    VCardWriter(const ExportHead& head, std::string& out)
        : head_(head), out_(out), context_(UnicodeContext(head.request)) {}

    void record(const RecordItem& item) override {
        const IpdImage& image = head_.tree.image();
        ContactRecord contact =
            DecodeContact(image, item.span, IsAllForm(item.db), context_);
        AppendVCard(contact, contact.photo, RecordUid(NameOf(item.db), image, item.span), out_);
    }

  private:
    const ExportHead& head_;
    std::string& out_;
    const DecodeContext context_;
};

}  // namespace

std::unique_ptr<ExportWriter> MakeVCardWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<VCardWriter>(head, out);
}

}  // namespace orrelin
