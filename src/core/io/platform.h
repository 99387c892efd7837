#pragma once

// The few calls into the operating system the core and the command line make: reading and
// writing files, giving a finished file its name, folders for settings, the terminal. One
// implementation for POSIX systems (platform_posix.cpp) and one for Windows
// (platform_windows.cpp); nothing else in the program calls the system for these.
//
// Paths are UTF-8 everywhere in the program; the Windows implementation turns them into wide
// strings at its boundary. Failures are errno codes (ENOENT, EEXIST, ...) on every system, so
// that std::strerror gives the same message for the same failure wherever the program runs.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/uio.h>
#endif

namespace orrelin {

#ifdef _WIN32
// One piece of a gathered write: where its bytes lie and how many there are.
struct WritePiece {
    void* iov_base;
    std::size_t iov_len;
};
#else
using WritePiece = ::iovec;
#endif

namespace platform {

// An open file: a descriptor on POSIX, a HANDLE on Windows; kNoFile when none.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

struct FileState {
    bool regular = false;
    bool folder = false;
    std::uint64_t size = 0;
    // When its content last changed, in the system's own units: only ever compared.
    std::int64_t modified = 0;
    std::int64_t modifiedFraction = 0;
};

// Opens an existing file for reading only.
int OpenForReading(const std::string& path, FileHandle& file);
int StateOf(FileHandle file, FileState& state);
// Reads up to `size` bytes from byte `offset` of the file; `got` is 0 at the end of the file.
// It leaves the file's position alone, so several threads may read parts of one file at once.
int ReadSomeAt(FileHandle file, void* into, std::size_t size, std::uint64_t offset,
               std::size_t& got);

// Creates a file for writing only when nothing has the name, without following a link there:
// EEXIST when something has it.
int CreateNew(const std::string& path, FileHandle& file);
int WriteAll(FileHandle file, const void* bytes, std::size_t size);
// Writes the pieces in order as far as one call of the system goes: `wrote` bytes of them.
int WriteSome(FileHandle file, const WritePiece* pieces, std::size_t count, std::size_t& wrote);
// Starts the bytes written between `from` and `from + length` on their way to the disk without
// waiting for them; a hint only.
void StartWriteBack(FileHandle file, std::uint64_t from, std::uint64_t length);
// Waits until the file's bytes are on the disk.
int FlushToDisk(FileHandle file);
int Close(FileHandle file);

// Puts the entries of `folder` ("" for the current one) on the disk: the names files took
// there. Never fails: a system that cannot do it has nothing more to do.
void FlushFolder(const std::string& folder);
// Gives `from` the name `to`, replacing whatever has it (a link there is replaced, not
// followed).
int RenameReplacing(const std::string& from, const std::string& to);
// Gives `from` the name `to` only when nothing has that name: EEXIST when something has it.
int RenameWithoutReplacing(const std::string& from, const std::string& to);
int Remove(const std::string& path);
// The machine's physical memory in bytes (4 GiB when the system does not say).
std::uint64_t PhysicalMemory();
// Whether anything has the name, a dangling link included.
bool Exists(const std::string& path);
// Whether the two names lead to the same file (false when either cannot be looked at).
bool SameFile(const std::string& a, const std::string& b);
// The path the standard library's file functions take for a UTF-8 path.
std::filesystem::path NativePath(const std::string& path);

// 64 bits nobody can guess.
std::uint64_t RandomBits();
std::tm LocalTime(std::time_t when);
// The value of an environment variable as UTF-8; empty when it is not set.
std::string Environment(const char* name);

// The folder the settings file lives in, ending in the separator: $XDG_CONFIG_HOME when it is
// an absolute folder, else $HOME/.config on POSIX; %LOCALAPPDATA% on Windows. Empty when none
// is known, with `whyNot` saying what is missing.
std::string SettingsFolder(std::string& whyNot);

// The date format, the time format and the words for "AM" and "PM" of the named locale as
// strftime patterns; nothing when the system does not know the locale.
struct LocaleTimeFormats {
    std::string date;
    std::string time;
    std::string am;
    std::string pm;
};
std::optional<LocaleTimeFormats> TimeFormatsOfLocale(const std::string& name);

// Asks for large pages behind a block about to be filled; only a hint.
void AdviseLargePages(void* start, std::size_t bytes);

// Whether the standard error stream goes to a terminal.
bool StandardErrorIsTerminal();
// Makes the standard streams pass bytes through unchanged (no line-end translation); a Windows
// console they go to shows them as UTF-8 until the program ends.
void UseBinaryStandardStreams();
// The program's arguments as UTF-8, whatever the system handed them over as.
std::vector<std::string> Utf8Arguments(int argc, char** argv);
// Stops the process until it is told to go on, where the system can (tests only).
void StopThisProcess();

}  // namespace platform
}  // namespace orrelin
