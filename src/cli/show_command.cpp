#include <CLI/CLI.hpp>

#include <memory>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "decoders/contact_decoder.h"
#include "decoders/time_format.h"
#include "io/file_output.h"
#include "kinds/decode_any.h"
#include "kinds/raw_fields.h"
#include "kinds/record_kinds.h"

namespace orrelin::cli {
namespace {

struct ShowOptions {
    std::string path;
    std::string database;
    std::uint64_t record = 0;
    std::string photo;
    CLI::Option* photoOption = nullptr;
    TimeZoneOption timeZone;
    UnicodeOption unicode;
};

// Writes the contact's photo; the reason when there is none or it cannot be written.
std::optional<std::string> WritePhoto(const IpdImage& image, const ChosenRecord& chosen,
                                      const DecodeContext& context, const std::string& path) {
    if (KindOfDatabase(*chosen.database) != RecordKind::Address) {
        return "--photo needs a contact; \"" + std::string(chosen.database->name()) +
               "\" holds no contacts";
    }
    ContactRecord contact =
        DecodeContact(image, chosen.span, IsAllForm(*chosen.database->db), context);
    if (contact.photo.empty()) return std::string("the contact has no photo");
    if (Status written = WriteFileAtomically(path, contact.photo); !written) {
        return "cannot write " + path + ": " + written.error();
    }
    return std::nullopt;
}

// One line per value: index TAB pane label TAB value (single-byte text, or UTF-8 when
// `unicode`).
std::string ValueLines(const std::vector<ValueRow>& rows, bool unicode) {
    std::string out;
    for (const ValueRow& row : rows) {
        out += std::to_string(row.index);
        out.push_back('\t');
        AppendSingleByteLine(out, row.label);
        out.push_back('\t');
        if (unicode) {
            AppendUtf8Line(out, row.value);
        } else {
            AppendSingleByteLine(out, row.value);
        }
        out.push_back('\n');
    }
    return out;
}

// One line per field of a record the program does not decode: type TAB length TAB hex TAB
// text reading.
std::string RawLines(const IpdImage& image, RecordSpan span) {
    std::string out;
    const Bytes body = image.range(span.start, span.end).value_or(Bytes{});
    for (const RawField& field : ReadRawFields(body)) {
        out += std::to_string(field.type);
        out.push_back('\t');
        out += std::to_string(field.length);
        out.push_back('\t');
        out += RawHex(field.data);
        out.push_back('\t');
        AppendSingleByteLine(out, RawText(field.data));
        out.push_back('\n');
    }
    return out;
}

int Show(const ShowOptions& options) {
    const auto text = options.unicode.textOptions();
    if (!text) return 2;
    // Any database of the backup can be shown: the ones not decoded as their raw fields.
    auto backup = OpenBackup(options.path, Databases::All);
    if (!backup) return 2;
    auto chosen = FindRecord(backup->index, options.database, options.record);
    if (!chosen) {
        PrintError(chosen.error());
        return 2;
    }
    if (backup->index.stop) PrintWarning(WalkStopWarning(options.path, *backup->index.stop));

    DecodeContext context;
    context.timeZoneText = TimeZoneTextFromSetting(options.timeZone.setting());
    context.dateStyle = DateStyle::FromEnvironment();
    context.text = *text;
    if (options.photoOption->count() > 0) {
        if (auto failure = WritePhoto(backup->image, *chosen, context, options.photo)) {
            PrintError(*failure);
            return 2;
        }
    }
    if (!chosen->database->decoded())
        return WriteOut(RawLines(backup->image, chosen->span)) ? 0 : 2;
    const auto rows = DecodeValues(backup->image, *chosen->database->db, chosen->span, context);
    return WriteOut(ValueLines(rows, text->unicode)) ? 0 : 2;
}

}  // namespace

void AddShowCommand(CLI::App& app, CommandResult& result) {
    auto options = std::make_shared<ShowOptions>();
    CLI::App* command = app.add_subcommand(
        "show",
        "Print the decoded values of one record (the raw fields of a database not decoded)");
    command->add_option("FILE", options->path, "the IPD backup")->required();
    command
        ->add_option("--database", options->database,
                     "the database: a name such as \"SMS Messages\" or a node key such as 3DBTop")
        ->required();
    command
        ->add_option("--record", options->record,
                     "the record, counted from 1 in the database's tree order")
        ->required();
    options->photoOption =
        command->add_option("--photo", options->photo, "write the contact's photo (JPEG) here");
    options->timeZone.addTo(*command);
    options->unicode.addTo(*command);
    command->callback([options, &result] { result.exitCode = Show(*options); });
}

}  // namespace orrelin::cli
