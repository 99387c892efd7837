#include "browser/open_backup.h"

#include <utility>

#include "ipd/loader.h"

namespace orrelin {

Result<OpenedBackup> OpenBackupFile(const std::string& path, const OpenOptions& options) {
    // Read into memory rather than mapped: a file truncated or rewritten meanwhile by another
    // program cannot pull pages from under the job.
    auto file = IpdImage::Read(path, options.fileOpened);
    if (!file) return Failure{file.error()};
    return OpenBackupBytes(std::move(*file), path, options);
}

Result<OpenedBackup> OpenBackupBytes(IpdImage file, const std::string& name,
                                     const OpenOptions& options) {
    auto opened = OpenBackupImage(std::move(file), options.memoryLimit, options.progress);
    if (!opened) return Failure{name + ": " + opened.error()};
    bool cancelled = false;
    ProgressCallback walked;
    if (options.progress) {
        walked = [&](std::uint64_t done, std::uint64_t total) {
            cancelled = !options.progress(done, total);
            return !cancelled;
        };
    }
    RecordIndex index = BuildDatabaseNodes(opened->image, name, walked, options.which);
    if (cancelled) return Failure{name + ": " + std::string(kOpenCancelled)};
    return OpenedBackup{std::move(opened->image), std::move(index), std::move(opened->warnings)};
}

}  // namespace orrelin
