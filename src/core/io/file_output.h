#pragma once

// Writing the files the program makes: whole files go through a temporary file in the target
// folder and are renamed over the target only when complete, so a failure never leaves a
// truncated file behind; names the program makes itself never replace an earlier file.

#include <sys/uio.h>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orrelin {

// Writes `bytes` as the whole content of `path`. Returns nothing on success, else the reason.
std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               std::span<const std::uint8_t> bytes);

// A file being written piece by piece (exports): it appears under its name only on commit();
// destroyed without commit() it leaves nothing behind.
class AtomicFile {
  public:
    // With `flushToDisk` false, commit() leaves the bytes to the system's own write-back
    // instead of waiting for the disk: for files that can be made again (exports), where the
    // wait would cost more than a lost file after a power cut.
    explicit AtomicFile(std::string path, bool flushToDisk = true);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Opens the temporary file; the reason when it cannot be created.
    std::optional<std::string> open();
    // Appends bytes; false once a write has failed (see error()).
    bool write(std::string_view bytes);
    // Appends the pieces in order, straight from where they lie (no copy of them is made).
    bool write(std::span<const iovec> pieces);
    // Flushes, closes and renames over the target; the reason on failure.
    std::optional<std::string> commit();
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }

  private:
    void discard();
    void wrote(std::uint64_t bytes);
    std::string path_;
    std::string temp_;
    int fd_ = -1;
    bool flushToDisk_ = true;
    std::string error_;
    std::string buffer_;
    std::uint64_t written_ = 0;
    std::uint64_t started_ = 0;
};

// folder + "Orrelin_Export_" + ddhhnnss of `when` (local time) + extension (".txt", ".csv",
// ".ipd"); when that name is taken, "_2", "_3", ... before the extension.
std::string GeneratedExportName(std::string_view folder, std::tm when, std::string_view extension);

// The local time now, as GeneratedExportName takes it.
std::tm LocalTimeNow();

}  // namespace orrelin
