// The HTML archive: one page that holds everything it shows (style, script, photos), to read
// on a phone or a desktop. Messages are grouped into conversations per number, in the order
// their numbers first appear, each conversation in time order; every other database is a list
// of its records. Every text from the backup is escaped, so none of it is ever markup.

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "base/bytes.h"
#include "decoders/contact_decoder.h"
#include "decoders/record_fields.h"
#include "export/export_writer.h"
#include "export/html_conversations.h"
#include "export/html_page.h"
#include "export/markup_text.h"
#include "export/vcard_writer.h"
#include "kinds/labels.h"
#include "kinds/record_kinds.h"

namespace orrelin {
namespace {

// The caption of a value written beside the texts.
std::string_view ExtraCaption(std::string_view key) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kCaptions{{
        {"sent_time", "Sent"},
        {"received_time", "Received"},
        {"start_time", "Start"},
        {"end_time", "End"},
        {"time", "Date"},
        {"duration_seconds", "Duration"},
        {"gateway_ip", "Gateway IP"},
        {"attachments", "Attachments"},
    }};
    for (const auto& [name, caption] : kCaptions) {
        if (name == key) return caption;
    }
    return key;
}

std::string DurationText(std::int64_t seconds) {
    const std::int64_t whole = seconds < 0 ? -seconds : seconds;
    std::string text = seconds < 0 ? "-" : "";
    text += std::to_string(whole / 60) + ":";
    if (whole % 60 < 10) text += '0';
    return text + std::to_string(whole % 60);
}

class HtmlWriter final : public ExportWriter {
  public:
    HtmlWriter(const ExportHead& head, std::string& out)
        : head_(head),
          out_(out),
          offsetHours_(OffsetHours(head.request.context.timeZoneText)),
          times_(offsetHours_, head.request.context.dateStyle) {
        context_.text = TextOptions{true, head.request.eightBitPage};
        context_.displayTimes = false;
        if (!head.shared) head.shared = std::make_shared<HtmlConversations>();
        conversations_ = static_cast<HtmlConversations*>(head.shared.get());
    }

    void begin() override {
        conversations_->gatherNames(head_, context_.text);
        out_ +=
            "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
            "img-src data:; style-src 'unsafe-inline'; script-src '";
        out_ += kHtmlScriptHash;
        out_ += "'\">\n<title>";
        AppendMarkupText(out_, FileName(), false);
        out_ += "</title>\n<style>";
        out_ += kHtmlStyle;
        out_ += "</style>\n</head>\n<body>\n<header>\n<h1 dir=\"auto\">";
        AppendMarkupText(out_, FileName(), false);
        out_ += "</h1>\n<p>Times are shown in ";
        out_ += ZoneName(offsetHours_);
        out_ +=
            ".</p>\n<input type=\"search\" id=\"q\" placeholder=\"Search\" "
            "aria-label=\"Search\" autocomplete=\"off\">\n</header>\n<main>\n";
        out_ += "<p id=\"none\" class=\"hidden\">Nothing matches the search.</p>\n";
    }

    void end() override {
        out_ += "</main>\n";
        out_ += "<script>";
        out_ += kHtmlScript;
        out_ += "</script>\n</body>\n</html>\n";
    }

    void beginDatabase(KnownDb db) override {
        out_ += "<section>\n<h2>";
        AppendMarkupText(out_, NameOf(db), false);
        out_ += "</h2>\n";
        if (db == KnownDb::Sms) {
            conversations_->expect(head_.tree.index().databases[head_.database].records.size());
        } else {
            out_ += "<ul class=\"l\">\n";
        }
    }

    void endDatabase(KnownDb db) override {
        if (db == KnownDb::Sms) {
            conversations_->write(head_, context_, out_);
        } else {
            out_ += "</ul>\n";
        }
        out_ += "</section>\n";
    }

    void record(const RecordItem& item) override {
        if (item.db == KnownDb::Sms) {
            conversations_->note(head_, item, context_);
        } else {
            entry(item);
        }
    }

  private:
    std::string_view FileName() const {
        const std::string& path = head_.tree.path();
        const std::size_t slash = path.find_last_of("/\\");
        return slash == std::string::npos ? std::string_view(path)
                                          : std::string_view(path).substr(slash + 1);
    }

    void text(std::string_view utf8) { AppendMarkupText(out_, utf8, false); }

    // A record of another database: its label, its photo, its values.
    void entry(const RecordItem& item) {
        DecodeRecord(head_.tree.image(), item.db, item.span, context_, values_);
        out_ += "<li><h3 dir=\"auto\">";
        if (KindOf(item.db).kind == RecordKind::Address) {
            // A contact's label made of its two names as they were decoded.
            text(ContactLabel(values_.texts[ContactRecord::FirstName],
                              values_.texts[ContactRecord::LastName]));
        } else {
            auto body = RecordBody(head_.tree.image(), item.span);
            text(UnicodeLabel(item.db, body ? *body : Bytes{},
                              TextOptionsFor(head_.tree.image(), context_.text)));
        }
        out_ += "</h3>";
        if (!values_.photo.empty()) {
            out_ += "<img alt=\"\" src=\"data:image/jpeg;base64,";
            AppendBase64(values_.photo, out_);
            out_ += "\">";
        }
        out_ += "<dl>";
        const KindInfo& kind = KindInfoOf(item.db);
        const std::span<const FieldRow> rows = JsonTexts(kind.kind);
        const std::vector<std::string>& heads = textHeads(kind.kind, rows);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::string& value = values_.texts[rows[i].slot];
            if (value.empty()) continue;
            out_ += heads[i];
            text(value);
            out_ += "</dd>";
        }
        for (const ExtraRow& extra : kind.extras)
            extraValue(extra);
        out_ += "</dl></li>\n";
    }

    void pair(std::string_view caption, std::string_view value) {
        out_ += "<dt>";
        text(caption);
        out_ += "</dt><dd dir=\"auto\">";
        text(value);
        out_ += "</dd>";
    }

    // What comes before each text row's value, its caption escaped: the same for every record
    // of a kind, so made once.
    const std::vector<std::string>& textHeads(RecordKind kind, std::span<const FieldRow> rows) {
        std::vector<std::string>& heads = textHeads_[static_cast<std::size_t>(kind)];
        if (heads.size() != rows.size()) {
            heads.clear();
            for (const FieldRow& field : rows) {
                std::string head = "<dt>";
                AppendMarkupText(head, field.pane.empty() ? field.column : field.pane, false);
                head += "</dt><dd dir=\"auto\">";
                heads.push_back(std::move(head));
            }
        }
        return heads;
    }

    void extraValue(const ExtraRow& extra) {
        switch (extra.value) {
            case ExtraValue::FirstInstant:
            case ExtraValue::SecondInstant: {
                const auto& instant = extra.value == ExtraValue::FirstInstant
                                          ? values_.firstInstant
                                          : values_.secondInstant;
                if (instant) {
                    pair(ExtraCaption(extra.jsonKey), times_.text(*instant));
                }
                return;
            }
            case ExtraValue::Number:
                pair(ExtraCaption(extra.jsonKey), DurationText(values_.number));
                return;
            case ExtraValue::Count:
                if (values_.number != 0)
                    pair(ExtraCaption(extra.jsonKey), std::to_string(values_.number));
                return;
            case ExtraValue::JoinedTexts: {
                const std::string joined = JoinedTexts(values_, extra);
                if (!joined.empty()) pair(ExtraCaption(extra.jsonKey), joined);
                return;
            }
            case ExtraValue::HasPhoto:
                return;
        }
    }

    const ExportHead& head_;
    std::string& out_;
    DecodeContext context_;
    const double offsetHours_;
    ReadableTimes times_;
    RecordValues values_;
    std::array<std::vector<std::string>, kRecordKindCount> textHeads_;
    HtmlConversations* conversations_ = nullptr;
};

}  // namespace

std::unique_ptr<ExportWriter> MakeHtmlWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<HtmlWriter>(head, out);
}

}  // namespace orrelin
