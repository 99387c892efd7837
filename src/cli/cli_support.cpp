#include "cli/cli_support.h"

#include <CLI/CLI.hpp>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/bytes.h"
#include "browser/tree_keys.h"
#include "ipd/loader.h"
#include "settings/time_zone_setting.h"
#include "text/ascii_run.h"
#include "text/codepage.h"

namespace orrelin::cli {
namespace {

// What one byte becomes on a line: up to four bytes of UTF-8 or of an escape.
struct LineBytes {
    std::array<char, 4> bytes{};
    std::uint8_t size = 0;
};

// The escape of a byte that may not stand on a line as it is; size 0 for the others.
LineBytes Escape(std::uint8_t b) {
    switch (b) {
        case '\r':
            return {{'\\', 'r'}, 2};
        case '\n':
            return {{'\\', 'n'}, 2};
        case '\t':
            return {{'\\', 't'}, 2};
        case '\\':
            return {{'\\', '\\'}, 2};
        default:
            break;
    }
    if (b < 0x20 || b == 0x7F) return {{'\\', 'x', HexDigit(b >> 4), HexDigit(b)}, 4};
    return {};
}

using LineTable = std::array<LineBytes, 256>;

LineTable MakeSingleByteTable() {
    LineTable table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        auto b = static_cast<std::uint8_t>(i);
        LineBytes escaped = Escape(b);
        if (escaped.size) {
            table[i] = escaped;
            continue;
        }
        std::string utf8;
        AppendUtf8(utf8, CodePageToUnicode(CodePage::Cp1256, b));
        LineBytes entry;
        for (char c : utf8)
            entry.bytes[entry.size++] = c;
        table[i] = entry;
    }
    return table;
}

LineTable MakeUtf8Table() {
    LineTable table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        auto b = static_cast<std::uint8_t>(i);
        LineBytes escaped = Escape(b);
        table[i] = escaped.size ? escaped : LineBytes{{static_cast<char>(b)}, 1};
    }
    return table;
}

// Runs of plain ASCII stand on a line as they are (but the backslash and DEL, which are escaped)
// and are copied whole; the other bytes go through the table one by one.
void AppendThrough(const LineTable& table, std::string& out, std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t run = PrintableAsciiRunWithout(p + i, n - i, '\\', 0x7F);
        out.append(text.data() + i, run);
        i += run;
        if (i == n) break;
        const LineBytes& entry = table[p[i++]];
        out.append(entry.bytes.data(), entry.size);
    }
}

}  // namespace

void AppendSingleByteLine(std::string& out, std::string_view singleByte) {
    static const LineTable table = MakeSingleByteTable();
    AppendThrough(table, out, singleByte);
}

std::string SingleByteLine(std::string_view singleByte) {
    std::string out;
    AppendSingleByteLine(out, singleByte);
    return out;
}

void AppendUtf8Line(std::string& out, std::string_view utf8) {
    static const LineTable table = MakeUtf8Table();
    AppendThrough(table, out, utf8);
}

std::string Utf8Line(std::string_view utf8) {
    std::string out;
    AppendUtf8Line(out, utf8);
    return out;
}

void PrintError(std::string_view message) {
    std::string line = "orrelin-cli: ";
    AppendUtf8Line(line, message);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void PrintWarning(std::string_view message) {
    std::string line = "orrelin-cli: warning: ";
    AppendUtf8Line(line, message);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
}

bool WriteOut(std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
        std::fflush(stdout) == 0) {
        return true;
    }
    int code = errno;
    PrintError(std::string("cannot write the output: ") + std::strerror(code));
    return false;
}

namespace {
void (*g_backupOpened)() = nullptr;
}  // namespace

void SetBackupOpenedHook(void (*hook)()) {
    g_backupOpened = hook;
}

std::optional<OpenedBackup> OpenBackup(const std::string& path, Databases which) {
    OpenOptions options;
    options.which = which;
    options.fileOpened = g_backupOpened;
    auto opened = OpenBackupFile(path, options);
    if (!opened) {
        PrintError(opened.error());
        return std::nullopt;
    }
    for (const std::string& warning : opened->warnings)
        PrintWarning(path + ": " + warning);
    return std::move(*opened);
}

Result<ChosenRecord> FindRecord(const RecordIndex& index, std::string_view database,
                                std::uint64_t n) {
    const DatabaseNode* node = FindDatabase(index, database);
    if (!node) return Failure{"unknown database: " + std::string(database)};
    const std::size_t count = node->records.size();
    if (n < 1 || n > count) {
        return Failure{"no record " + std::to_string(n) + " in \"" + std::string(node->name()) +
                       "\" (" + DatabaseKey(*node) + "), which has " + std::to_string(count) +
                       (count == 1 ? " record" : " records")};
    }
    return ChosenRecord{node, index.records[node->records[static_cast<std::size_t>(n - 1)]].span};
}

void TimeZoneOption::addTo(CLI::App& command) {
    option_ = command.add_option("--tz", value_,
                                 "time-zone setting such as GMT, +3 or -5 (default: the stored "
                                 "setting, else GMT)");
}

std::string TimeZoneOption::setting() const {
    if (option_ && option_->count() > 0) return value_;
    return ReadStoredTimeZone();
}

std::optional<CodePage> ChosenCodePage(const std::string& name) {
    auto chosen = CodePageByName(name);
    if (!chosen) {
        PrintError("unknown code page: " + name + " (known: " + CodePageNumbers(", ") + ")");
    }
    return chosen;
}

void UnicodeOption::addTo(CLI::App& command) {
    CLI::Option* unicode =
        command.add_flag("--unicode", unicode_,
                         "texts in full Unicode (UTF-8) instead of reduced to code page 1256");
    command
        .add_option("--codepage", codePage_,
                    "with --unicode: the Windows code page 8-bit texts are read in: " +
                        CodePageNumbers(" or ", " (the default)"))
        ->needs(unicode);
}

std::optional<TextOptions> UnicodeOption::textOptions() const {
    if (!unicode_) return TextOptions{};
    TextOptions text{true, CodePage::Cp1252};
    if (codePage_.empty()) return text;
    auto page = ChosenCodePage(codePage_);
    if (!page) return std::nullopt;
    text.eightBitPage = *page;
    return text;
}

}  // namespace orrelin::cli
