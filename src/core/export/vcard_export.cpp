// The vCard exports: one vCard 4.0 (or 3.0) per contact of the address books, in full Unicode,
// photo embedded (vcard_writer.h writes the card).

#include "decoders/contact_decoder.h"
#include "export/export_writer.h"
#include "export/icalendar_writer.h"
#include "export/vcard_writer.h"

namespace orrelin {
namespace {

class VCardWriter final : public ExportWriter {
  public:
    VCardWriter(const ExportHead& head, std::string& out, bool version3)
        : head_(head), out_(out), context_(UnicodeContext(head.request)), version3_(version3) {}

    void record(const RecordItem& item) override {
        const IpdImage& image = head_.tree.image();
        ContactRecord contact = DecodeContact(image, item.span, IsAllForm(item.db), context_);
        const std::string uid = RecordUid(NameOf(item.db), image, item.span);
        if (version3_) {
            AppendVCard3(contact, contact.photo, uid, out_);
        } else {
            AppendVCard(contact, contact.photo, uid, out_);
        }
    }

  private:
    const ExportHead& head_;
    std::string& out_;
    const DecodeContext context_;
    const bool version3_;
};

}  // namespace

std::unique_ptr<ExportWriter> MakeVCardWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<VCardWriter>(head, out, false);
}

std::unique_ptr<ExportWriter> MakeVCard3Writer(const ExportHead& head, std::string& out) {
    return std::make_unique<VCardWriter>(head, out, true);
}

}  // namespace orrelin
