#pragma once

// Opening any backup the program reads, recognised by its content whatever its name: a bare
// IPD file, or a .bbb archive whose databases become one IPD image.

#include <cstdint>
#include <string>

#include "archive/archive_backup.h"
#include "base/result.h"
#include "ipd/ipd_image.h"

namespace orrelin {

// The most memory the databases of an archive may unpack to: the machine's physical memory.
std::uint64_t MemoryLimit();

// The backup a file read whole holds: an IPD file as it is (the image is shared, not copied),
// an archive assembled under `limit`, telling `progress` how far it has unpacked (false
// cancels: kOpenCancelled). Fails with the reason alone, without the file's name: kNotABackup,
// kEncryptedBackup, kBlackBerry10Backup, a damaged archive or a size refused. The one caller
// outside the archive reader is browser/open_backup.h, which the programs go through.
Result<OpenedImage> OpenBackupImage(IpdImage file, std::uint64_t limit = MemoryLimit(),
                                    const ProgressCallback& progress = {});

}  // namespace orrelin
