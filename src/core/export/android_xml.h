#pragma once

// What the message and call log files of the Android backup application "SMS Backup & Restore"
// share: one XML 1.0 document of <sms> or <call> elements, every value an attribute, times in
// milliseconds since 1970 UTC, names from the backup's address book.

#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "export/contact_names.h"
#include "export/export_writer.h"
#include "export/markup_text.h"

namespace orrelin::android_xml {

inline constexpr std::string_view kDeclaration =
    "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n";
inline constexpr std::string_view kUnknownContact = "(Unknown)";

inline DecodeContext UnicodeInstants(const ExportRequest& request) {
    DecodeContext context;
    context.text = TextOptions{true, request.eightBitPage};
    context.displayTimes = false;
    return context;
}

inline void AppendNumber(std::string& out, std::uint64_t value) {
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

}  // namespace orrelin::android_xml
