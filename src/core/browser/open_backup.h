#pragma once

// The one way a backup is opened, by every program over the core: a file read whole, or bytes
// already in memory (a front end without a file system), made into its image and walked into
// its record index, with the warnings the user should hear. Each failure has one wording,
// which the window and the command line show alike.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/backup_file.h"
#include "base/result.h"
#include "io/progress.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

struct OpenOptions {
    // With Databases::All the databases the program does not decode are nodes too.
    Databases which = Databases::Decoded;
    // Told how far an archive has unpacked (its bytes), then how far the walk has got (the
    // image's bytes); returning false stops the open, which then fails with kOpenCancelled.
    ProgressCallback progress;
    // The most an archive's databases may unpack to (see archive/zip_reader.h for the bounds
    // every archive is held to besides).
    std::uint64_t memoryLimit = MemoryLimit();
    // For tests: called once the file is open and before it is read.
    void (*fileOpened)() = nullptr;
};

struct OpenedBackup {
    IpdImage image;
    RecordIndex index;
    // Sentences without the file's name (how an archive was put together).
    std::vector<std::string> warnings;
};

// Reads the file at `path` whole and opens it. Fails with "cannot read PATH: REASON" (missing,
// no permission, a folder), "PATH changed while it was being read", or "PATH: REASON" for a
// file that is no backup this program reads (not a BlackBerry backup, encrypted, a damaged
// archive, ...). A damaged IPD file opens with the part read before the damage; index.stop
// says where the walk stopped.
Result<OpenedBackup> OpenBackupFile(const std::string& path, const OpenOptions& options = {});

// The same over the bytes of a file already in memory; `name` stands for its path in the
// index's root text and in a failure ("NAME: REASON").
Result<OpenedBackup> OpenBackupBytes(IpdImage file, const std::string& name,
                                     const OpenOptions& options = {});

}  // namespace orrelin
