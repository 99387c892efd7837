#pragma once

// What every orrelin-cli command shares: one-line text forms, opening a backup with a proper
// message, the --tz option and finding a record by its number within a database.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"
#include "browser/open_backup.h"
#include "decoders/decode_context.h"
#include "ipd/ipd_image.h"
#include "ipd/loader.h"
#include "ipd/record_index.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace orrelin::cli {

// ---- One node, one line ----
//
// Texts are written as UTF-8 with CR, LF, TAB and backslash as \r, \n, \t and \\, and every
// other control character (below 0x20, and 0x7F) as \xHH, so a text never breaks its line.

// Appends single-byte text, each byte read through code page 1256 as the window shows it.
void AppendSingleByteLine(std::string& out, std::string_view singleByte);
std::string SingleByteLine(std::string_view singleByte);

// Appends text that is already UTF-8 (a path as given, a value decoded to Unicode): its bytes
// pass unchanged apart from the escapes.
void AppendUtf8Line(std::string& out, std::string_view utf8);
std::string Utf8Line(std::string_view utf8);

// ---- Messages ----

// Writes "orrelin-cli: MESSAGE" and a line break to standard error.
void PrintError(std::string_view message);
// Writes "orrelin-cli: warning: MESSAGE" and a line break to standard error.
void PrintWarning(std::string_view message);

// Writes bytes to standard output and flushes it; false (after saying why on standard error) when
// the output cannot take them.
bool WriteOut(std::string_view bytes);

// ---- Opening a backup ----

using OpenedBackup = ::orrelin::OpenedBackup;

// Opens a backup through OpenBackupFile (browser/open_backup.h): a failure gives nothing and
// its message on standard error ("cannot read PATH: REASON", "PATH: REASON", ...); a .bbb
// archive's warnings go to standard error as "PATH: WARNING".
std::optional<OpenedBackup> OpenBackup(const std::string& path,
                                       Databases which = Databases::Decoded);

// For tests only: called each time a backup is open and before it is read.
void SetBackupOpenedHook(void (*hook)());

// ---- Finding a record ----

struct ChosenRecord {
    const DatabaseNode* database = nullptr;
    RecordSpan span;
};

// The n-th record (counted from 1, in tree order) of the database node named `database` (a
// name such as "Memos" or a node key such as "3DBTop"). Nothing when there is no such
// database or record, and then the reason, in one line.
Result<ChosenRecord> FindRecord(const RecordIndex& index, std::string_view database,
                                std::uint64_t n);

// ---- The --tz option ----

// --tz TEXT: a time-zone setting such as "GMT", "+3" or "-5". Without it the stored per-user
// setting is used, and "GMT" when there is none.
class TimeZoneOption {
  public:
    void addTo(CLI::App& command);
    // The setting in force, before "GMT" is turned into "0".
    std::string setting() const;

  private:
    std::string value_;
    CLI::Option* option_ = nullptr;
};

// ---- --unicode and --codepage ----

// --unicode: texts in full Unicode instead of reduced to code page 1256; --codepage PAGE (with
// --unicode only): the page 8-bit texts are then read in, 1252 by default.
class UnicodeOption {
  public:
    void addTo(CLI::App& command);
    // The text form in force; nothing (after saying why) for a page the program does not know.
    std::optional<TextOptions> textOptions() const;

  private:
    bool unicode_ = false;
    std::string codePage_;
};

// The page --codepage names; nothing (after saying why) for one the program does not know.
std::optional<CodePage> ChosenCodePage(const std::string& name);

}  // namespace orrelin::cli
