// The message and call log files of the Android backup application "SMS Backup & Restore":
// one XML 1.0 document of <sms> or <call> elements, every value an attribute, times in
// milliseconds since 1970 UTC, names from the backup's address book.

#include <algorithm>
#include <charconv>

#include "decoders/call_decoder.h"
#include "decoders/sms_decoder.h"
#include "export/contact_names.h"
#include "export/export_writer.h"
#include "export/markup_text.h"

namespace orrelin {
namespace {

constexpr std::string_view kDeclaration =
    "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n";
constexpr std::string_view kUnknownContact = "(Unknown)";

DecodeContext UnicodeInstants(const ExportRequest& request) {
    DecodeContext context;
    context.text = TextOptions{true, request.eightBitPage};
    context.displayTimes = false;
    return context;
}

void AppendNumber(std::string& out, std::uint64_t value) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

class AndroidWriter : public ExportWriter {
  protected:
    AndroidWriter(const ExportHead& head, std::string& out)
        : head_(head),
          out_(out),
          context_(UnicodeInstants(head.request)),
          times_(OffsetHours(head.request.context.timeZoneText), head.request.context.dateStyle) {}

    void beginRoot(std::string_view root) {
        out_ += kDeclaration;
        out_ += '<';
        out_ += root;
        out_ += " count=\"";
        AppendNumber(out_, head_.records);
        out_ += "\">\n";
    }

    void text(std::string_view name, std::string_view utf8) {
        out_ += ' ';
        out_ += name;
        out_ += "=\"";
        AppendMarkupText(out_, utf8, true);
        out_ += '"';
    }
    void number(std::string_view name, std::uint64_t value) {
        out_ += ' ';
        out_ += name;
        out_ += "=\"";
        AppendNumber(out_, value);
        out_ += '"';
    }
    void readableDate(std::optional<std::uint64_t> millis) {
        text("readable_date",
             millis ? times_.text(static_cast<std::int64_t>(*millis / 1000)) : std::string_view());
    }
    void contactName(std::string_view number) {
        const std::string_view name = head_.contacts ? head_.contacts->find(number) : "";
        text("contact_name", name.empty() ? kUnknownContact : name);
    }

    const ExportHead& head_;
    std::string& out_;
    const DecodeContext context_;
    ReadableTimes times_;
};

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

std::unique_ptr<ExportWriter> MakeAndroidSmsWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<AndroidSmsWriter>(head, out);
}

std::unique_ptr<ExportWriter> MakeAndroidCallWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<AndroidCallWriter>(head, out);
}

}  // namespace orrelin
