// The call log file of "SMS Backup & Restore": a <call> element per call.

#include <algorithm>

#include "decoders/call_decoder.h"
#include "export/android_xml.h"

namespace orrelin {
namespace {

using android_xml::AndroidWriter;

class AndroidCallWriter final : public AndroidWriter {
  public:
    AndroidCallWriter(const ExportHead& head, std::string& out) : AndroidWriter(head, out) {}

    void begin() override { beginRoot("calls"); }
    void end() override { out_ += "</calls>\n"; }

    void record(const RecordItem& item) override {
        CallRecord call = DecodeCall(head_.tree.image(), item.span, context_);
        out_ += "  <call";
        text("number", call[CallRecord::Number]);
        number("duration", static_cast<std::uint64_t>(std::max(call.durationSeconds, 0)));
        number("date", call.timeMillis.value_or(0));
        number("type", CallType(call[CallRecord::Direction]));
        out_ += " presentation=\"1\"";
        readableDate(call.timeMillis);
        contactName(call[CallRecord::Number]);
        out_ += " />\n";
    }

  private:
    // 1 incoming, 2 outgoing, 3 missed; a direction the handheld did not name counts as
    // incoming, the call having reached the handheld.
    static std::uint64_t CallType(std::string_view direction) {
        for (std::size_t i = 0; i < kCallDirectionWords.size(); ++i) {
            if (direction == kCallDirectionWords[i]) return i + 1;
        }
        return 1;
    }
};

}  // namespace

std::unique_ptr<ExportWriter> MakeAndroidCallWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<AndroidCallWriter>(head, out);
}

}  // namespace orrelin
