// The message file of "SMS Backup & Restore": an <sms> element per message.

#include "decoders/sms_decoder.h"
#include "export/android_xml.h"

namespace orrelin {
namespace {

using android_xml::AndroidWriter;

class AndroidSmsWriter final : public AndroidWriter {
  public:
    AndroidSmsWriter(const ExportHead& head, std::string& out) : AndroidWriter(head, out) {}

    void begin() override { beginRoot("smses"); }
    void end() override { out_ += "</smses>\n"; }

    void record(const RecordItem& item) override {
        SmsRecord sms = DecodeSms(head_.tree.image(), item.span, context_);
        const bool received = sms[SmsRecord::Direction] == kSmsDirectionWords[1];
        // When it reached the phone it is kept on: the sent time of a sent message.
        const auto date = received ? sms.receivedMillis : sms.sentMillis;
        out_ += "  <sms protocol=\"0\"";
        text("address", sms[SmsRecord::Number]);
        number("date", date.value_or(0));
        number("type", received ? 1 : 2);
        out_ += " subject=\"null\"";
        text("body", sms[SmsRecord::Text]);
        out_ +=
            " toa=\"null\" sc_toa=\"null\" service_center=\"null\" read=\"1\" status=\"-1\""
            " locked=\"0\"";
        number("date_sent", sms.sentMillis.value_or(0));
        readableDate(date);
        contactName(sms[SmsRecord::Number]);
        out_ += " />\n";
    }
};

}  // namespace

std::unique_ptr<ExportWriter> MakeAndroidSmsWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<AndroidSmsWriter>(head, out);
}

}  // namespace orrelin
