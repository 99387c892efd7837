#pragma once

// Writing the files the program makes: whole files go through a temporary file in the target
// folder and take their name only when complete, so a failure never leaves a truncated file
// behind; names the program makes itself never replace an earlier file.
//
// The temporary file has a name nobody can guess and is created only if nothing is there, so a
// link planted in the folder is never written through; the finished file is given its name
// without following a link there either.

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/result.h"
#include "io/platform.h"

namespace orrelin {

// What a finished file does when something has its name by the time it is complete.
enum class IfTaken {
    // A name the user chose and may reuse (an --output, a save dialog that asked): the file
    // replaces what has the name (a link there is replaced, never followed).
    Replace,
    // A name the program made (GeneratedExportName): the file never replaces anything; when the
    // name was taken after it was chosen, the file takes the next free "_2", "_3", ... name.
    NextName,
};

// Writes `bytes` as the whole content of `path`, or says why not.
Status WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Writes `bytes` as the whole content of a file named `path` as `ifTaken` says; the name the
// file took (another than `path` only with IfTaken::NextName), or why it was not written.
Result<std::string> WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes,
                                 IfTaken ifTaken);

// A file being written piece by piece (exports): it appears under its name only on commit();
// destroyed without commit() it leaves nothing behind.
class AtomicFile {
  public:
    // With `flushToDisk` false, commit() leaves the bytes to the system's own write-back
    // instead of waiting for the disk: for files that can be made again (exports), where the
    // wait would cost more than a lost file after a power cut. With it true, the file and then
    // the entry of its name in the folder are on the disk when commit() returns.
    explicit AtomicFile(std::string path, bool flushToDisk = true,
                        IfTaken ifTaken = IfTaken::Replace);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; the reason when it cannot be created.
    Status open();
    // Appends bytes; false once a write has failed (see error()).
    bool write(std::string_view bytes);
    // Appends the pieces in order, straight from where they lie (no copy of them is made).
    bool write(std::span<const WritePiece> pieces);
    // Flushes, closes and gives the file its name; the reason on failure, when nothing is left.
    Status commit();
    const std::string& error() const { return error_; }
    // The file's name: after commit(), the name it took.
    const std::string& path() const { return path_; }

  private:
    void discard();
    void wrote(std::uint64_t bytes);
    bool flushBuffer();
    Status giveName();
    std::string path_;
    std::string temp_;  // empty while no temporary file of ours exists
    platform::FileHandle fd_ = platform::kNoFile;
    bool flushToDisk_ = true;
    IfTaken ifTaken_ = IfTaken::Replace;
    std::string error_;
    std::string buffer_;
    std::uint64_t written_ = 0;
    std::uint64_t started_ = 0;
};

// folder + "Orrelin_Export_" + ddhhnnss of `when` (local time) + extension (".txt", ".csv",
// ".ipd"); when that name is taken, "_2", "_3", ... before the extension.
std::string GeneratedExportName(std::string_view folder, std::tm when, std::string_view extension);

// The name after `path` in the row GeneratedExportName picks from: "_2" before the extension of
// a first name, "_N+1" for "_N". Any other name is counted the same way from its own stem.
std::string NextExportName(std::string_view path);

// The local time now, as GeneratedExportName takes it.
std::tm LocalTimeNow();

// For tests of the command line only: called with the name a finished file is about to take,
// just before it takes it (nothing by default).
void SetBeforeNamingHook(void (*hook)(const std::string& path));

}  // namespace orrelin
