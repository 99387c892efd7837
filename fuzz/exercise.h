#pragma once

// Everything the program does to a backup it opens, run over arbitrary bytes: index the file,
// label every record, build its tree and decode every record with every decoder. Used by the
// fuzz target and by the test that replays the inputs the fuzzer once crashed on.
//
// Besides not crashing, the run checks what must hold for any input and returns the first
// broken rule: every record lies inside the image, and the byte forms of the field and text
// routines agree with their hex text forms, and decoded text asked for in its Unicode form is
// valid UTF-8; a service book entry rebuilt from its decoded values shows the same values and,
// rebuilt again, gives the same bytes; every export of the file runs, and the standard formats come
// out as UTF-8 in content lines of at most 75 octets.

#include <optional>
#include <string>
#include <vector>

#include "../tests/core/support/hex_text.h"
#include "archive/backup_file.h"
#include "archive/manifest.h"
#include "browser/backup_tree.h"
#include "browser/open_backup.h"
#include "browser/tree_keys.h"
#include "decoders/browser_decoder.h"
#include "decoders/calendar_decoder.h"
#include "decoders/call_decoder.h"
#include "decoders/contact_decoder.h"
#include "decoders/mail_decoder.h"
#include "decoders/memo_decoder.h"
#include "decoders/servicebook_decoder.h"
#include "decoders/sms_decoder.h"
#include "decoders/task_decoder.h"
#include "decoders/timezone_decoder.h"
#include "export/export_engine.h"
#include "ipd/fields.h"
#include "ipd/ipd_image.h"
#include "ipd/loader.h"
#include "kinds/decode_any.h"
#include "kinds/labels.h"
#include "kinds/raw_fields.h"
#include "servicebook/servicebook_record.h"
#include "text/utf16.h"

namespace orrelin::fuzz {

namespace detail {

// The byte routines must give what the hex text routines give on the same bytes.
inline std::optional<std::string> CheckByteForms(Bytes fields) {
    const std::string hex = BytesToHex(fields);
    for (std::uint8_t type : {std::uint8_t{2}, std::uint8_t{4}, std::uint8_t{10}, std::uint8_t{32},
                              std::uint8_t{160}}) {
        for (int mode : {0, 2}) {
            const Bytes found = mode == 2 ? FindSecondField(fields, type) : FindField(fields, type);
            if (BytesToHex(found) != FindFieldHex(hex, type, mode)) {
                return "FindField and FindFieldHex disagree on type " + std::to_string(type) +
                       " mode " + std::to_string(mode);
            }
        }
    }
    Bytes some = Slice(fields, 0, 64);
    const std::string someHex = BytesToHex(some);
    if (Utf16BeToText(some) != UnicodeHexToText(someHex)) {
        return "Utf16BeToText and UnicodeHexToText disagree";
    }
    for (bool keep : {false, true}) {
        if (BytesToStrippedText(some, keep) != StripControlChars(HexToText(someHex), keep)) {
            return "BytesToStrippedText and StripControlChars disagree";
        }
    }
    return std::nullopt;
}

inline bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t code = 0;
        std::uint32_t least = 0;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if ((b & 0xE0) == 0xC0) {
            extra = 1, code = b & 0x1Fu, least = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, code = b & 0x0Fu, least = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, code = b & 0x07u, least = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            code = code << 6 | (c & 0x3Fu);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

template <std::size_t N>
std::optional<std::string> CheckTexts(const std::array<std::string, N>& values,
                                      const DecodeContext& context, std::string_view decoder) {
    if (!context.text.unicode) return std::nullopt;
    for (const auto& value : values) {
        if (!IsUtf8(value)) return std::string(decoder) + " gave text that is not UTF-8";
    }
    return std::nullopt;
}

// Every decoder on one record, whatever its database, in the text forms asked for.
inline std::optional<std::string> DecodeEveryWay(const IpdImage& image, RecordSpan span,
                                                 bool bothTextForms) {
    DecodeContext single;
    DecodeContext unicode;
    unicode.text.unicode = true;
    std::vector<const DecodeContext*> contexts{&single};
    if (bothTextForms) contexts.push_back(&unicode);
    for (const DecodeContext* context : contexts) {
        std::optional<std::string> problem =
            CheckTexts(DecodeSms(image, span, *context).values, *context, "DecodeSms");
        for (bool all : {false, true}) {
            if (!problem) {
                problem = CheckTexts(DecodeContact(image, span, all, *context).values, *context,
                                     "DecodeContact");
            }
            if (!problem) {
                problem = CheckTexts(DecodeCalendar(image, span, all, *context).values, *context,
                                     "DecodeCalendar");
            }
        }
        if (!problem) {
            problem = CheckTexts(DecodeTask(image, span, *context).values, *context, "DecodeTask");
        }
        if (!problem) {
            problem = CheckTexts(DecodeMemo(image, span, *context).values, *context, "DecodeMemo");
        }
        if (!problem) {
            problem = CheckTexts(DecodeCall(image, span, *context).values, *context, "DecodeCall");
        }
        if (!problem) {
            problem = CheckTexts(DecodeServiceBook(image, span, context->text).values, *context,
                                 "DecodeServiceBook");
        }
        if (!problem) {
            const MailRecord mail = DecodeMail(image, span, *context);
            std::vector<std::string> texts{mail.subject, mail.plainBody, mail.htmlBody,
                                           mail.from.name, mail.from.address};
            for (const auto& list : {mail.to, mail.cc, mail.bcc}) {
                for (const MailAddress& a : list) {
                    texts.push_back(a.name);
                    texts.push_back(a.address);
                }
            }
            const BookmarkRecord bookmark = DecodeBookmark(image, span, *context);
            texts.insert(texts.end(), bookmark.items.begin(), bookmark.items.end());
            texts.push_back(bookmark.url);
            texts.push_back(DecodeBrowserUrl(image, span, *context).url);
            texts.push_back(DecodeTimeZone(image, span, *context).name);
            for (const std::string& text : texts) {
                if (context->text.unicode && !IsUtf8(text))
                    problem = "a mail, browser or time zone decoder gave text that is not UTF-8";
            }
        }
        if (problem) return problem;
    }
    return std::nullopt;
}

// What the window and the exports ask for: the values of the record's own database.
inline std::optional<std::string> DecodeAsShown(const IpdImage& image, KnownDb db,
                                                RecordSpan span) {
    DecodeContext unicode;
    unicode.text.unicode = true;
    (void)DecodeValues(image, db, span, DecodeContext{});
    for (const ValueRow& row : DecodeValues(image, db, span, unicode)) {
        if (!IsUtf8(row.value)) return "DecodeValues gave text that is not UTF-8";
    }
    return std::nullopt;
}

// Saving an entry without edits keeps what it shows: the rebuilt record decodes to the values
// of the original (the network texts without the control characters a save removes from
// them), and saving the rebuilt record again writes the very same bytes.
inline std::optional<std::string> CheckServiceBookRebuild(const IpdImage& image, RecordSpan span) {
    if (span.start < 7) return std::nullopt;
    auto code = image.range(span.start - 7, span.end);
    if (!code) return std::nullopt;
    const ServiceBookFields original = DecodeServiceBook(image, span);
    BuildResult first = BuildServiceBookRecord(*code, original);
    const auto* rebuilt = std::get_if<ByteVector>(&first);
    if (!rebuilt) return std::nullopt;
    if (rebuilt->size() < 13) return "a rebuilt service book record is shorter than its header";
    IpdImage again(*rebuilt);
    const ServiceBookFields shown = DecodeServiceBook(again, {7, rebuilt->size() - 1});
    ServiceBookFields expected = original;
    for (std::size_t cleaned : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}})
        expected.values[cleaned] = StripControlChars(expected.values[cleaned], false);
    for (std::size_t i = 0; i < ServiceBookFields::kCount; ++i) {
        if (shown[i] != expected[i]) {
            return "a rebuilt service book entry shows another value " + std::to_string(i) +
                   " than the original";
        }
    }
    BuildResult second = BuildServiceBookRecord(again.fileBytes(), shown);
    const auto* twice = std::get_if<ByteVector>(&second);
    if (!twice) return "a rebuilt service book entry is refused when rebuilt again";
    if (*twice != *rebuilt) return "rebuilding a rebuilt service book entry changes it";
    return std::nullopt;
}

// Every export of the whole file: the standard formats must come out as UTF-8; the line-based
// ones with no content line longer than 75 octets, the markup ones without control characters.
inline std::optional<std::string> CheckExports(const BackupTree& tree) {
    for (const ExportFormatInfo& info : kExportFormats) {
        ExportRequest request;
        request.format = info.format;
        request.stampUtc = 0;
        const std::string out = RenderExportToString(tree, request);
        if (!info.unicode) continue;
        if (!IsUtf8(out)) return "a standard-format export is not UTF-8";
        if (info.format != ExportFormat::VCard && info.format != ExportFormat::ICalendar) {
            // The markup formats hold no control character XML 1.0 cannot hold.
            if (info.format == ExportFormat::Json) continue;
            for (char c : out) {
                const auto b = static_cast<unsigned char>(c);
                if (b < 0x20 && b != '\t' && b != '\n' && b != '\r')
                    return "a markup export holds a control character";
            }
            continue;
        }
        std::size_t start = 0;
        while (start < out.size()) {
            std::size_t end = out.find("\r\n", start);
            if (end == std::string::npos) return "a content line does not end with CR LF";
            if (end - start > 75) return "a content line is longer than 75 octets";
            start = end + 2;
        }
    }
    return std::nullopt;
}

// Every database: the decoded ones hold the records of the decoded walk, the others read as raw
// fields that lie inside their records, and the JSON export of them all is UTF-8 (the other
// formats leave such databases out).
inline std::optional<std::string> CheckAllDatabases(const IpdImage& image,
                                                    const RecordIndex& decoded) {
    RecordIndex all = BuildDatabaseNodes(image, "fuzz.ipd", {}, Databases::All);
    if (all.counts != decoded.counts) return "a walk of every database counts other records";
    for (const DatabaseNode& database : all.databases) {
        for (std::uint32_t record : database.records) {
            auto body = image.range(all.records[record].span.start, all.records[record].span.end);
            if (!body) return "a record of every database cannot be read";
            (void)RecordLabel(database, *body);
            for (const RawField& field : ReadRawFields(*body)) {
                if (field.data.data() < body->data() ||
                    field.data.data() + field.data.size() > body->data() + body->size()) {
                    return "a raw field lies outside its record";
                }
            }
        }
    }
    ExportRequest request;
    request.format = ExportFormat::Json;
    if (!IsUtf8(RenderExportToString(BackupTree(image, std::move(all)), request)))
        return "a JSON export of every database is not UTF-8";
    return std::nullopt;
}

}  // namespace detail

inline std::optional<std::string> ExerciseImage(const IpdImage& image);

// What a file opens as: an archive's databases become one image (under a limit that keeps a run
// small), anything else is walked as an IPD file whatever its first bytes. The manifest reader
// takes every input as it is, too.
inline std::optional<std::string> ExerciseBackup(Bytes file) {
    constexpr std::uint64_t kArchiveLimit = std::uint64_t{64} << 20;
#ifndef ORRELIN_WITHOUT_ARCHIVES
    (void)ParseManifest(std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
#endif
    IpdImage image(std::vector<std::uint8_t>(file.begin(), file.end()));
    if (!LooksLikeZip(file)) return ExerciseImage(image);
    OpenOptions options;
    options.memoryLimit = kArchiveLimit;
    auto opened = OpenBackupBytes(std::move(image), "fuzz.bbb", options);
    if (!opened) return std::nullopt;
    if (opened->image.fileLength() >= kArchiveLimit) return "an archive opened past its limit";
    return ExerciseImage(opened->image);
}

inline std::optional<std::string> ExerciseImage(const IpdImage& image) {
    RecordIndex index = BuildDatabaseNodes(image, "fuzz.ipd");
    (void)CountsLine(index);

    for (const RecordEntry& entry : index.records) {
        // A body may end on the image's extra zero byte (a file one byte short), never later.
        if (entry.span.end >= entry.span.start && entry.span.end > image.fileLength()) {
            return "record " + entry.span.tag() + " lies outside the image";
        }
        auto body = image.range(entry.span.start, entry.span.end);
        if (!body) return "record " + entry.span.tag() + " cannot be read";
        if (entry.database >= index.databases.size()) return "record under no database";
        // A record of a database the program does not decode goes through the SMS rules too.
        const KnownDb db = index.databases[entry.database].db.value_or(KnownDb::Sms);
        (void)RecordImage(db, *body);
        (void)RecordLabel(db, *body);

        // Every label routine on every record, whatever its database.
        for (const KnownDbInfo& each : kKnownDatabases)
            (void)RecordLabel(each.db, *body);
        (void)SmsIsSent(*body);
        (void)CallIcon(*body);

        if (auto problem = detail::CheckByteForms(Tail(*body, kBodyFieldsAt))) return problem;
        (void)FindLengthTypeItem(Tail(*body, kBodyFieldsAt), 1);
        (void)FindTypeLengthItem(Tail(*body, kBodyFieldsAt), 1);
        if (auto problem = detail::DecodeAsShown(image, db, entry.span)) return problem;
        if (auto problem = detail::DecodeEveryWay(image, entry.span, true)) return problem;
        if (auto problem = detail::CheckServiceBookRebuild(image, entry.span)) return problem;
        // Spans no walk makes: past the end of the image, and ending before they start.
        if (auto problem =
                detail::DecodeEveryWay(image, {entry.span.start, image.size() + 7}, false)) {
            return problem;
        }
        if (auto problem =
                detail::DecodeEveryWay(image, {entry.span.end + 9, entry.span.end}, false)) {
            return problem;
        }
    }

    if (auto problem = detail::CheckAllDatabases(image, index)) return problem;

    BackupTree tree(image, index);
    for (NodeId node = 0; node < tree.nodeCount(); ++node) {
        (void)tree.text(node);
        (void)tree.key(node);
        (void)tree.tag(node);
        (void)tree.image(node);
        (void)tree.databaseByParentText(node);
        const std::size_t children = tree.childCount(node);
        if (children > 0) (void)tree.child(node, children - 1);
        if (auto parent = tree.parent(node)) {
            if (tree.child(*parent, tree.row(node)) != node) return "tree rows do not round-trip";
        }
    }
    return detail::CheckExports(tree);
}

}  // namespace orrelin::fuzz
