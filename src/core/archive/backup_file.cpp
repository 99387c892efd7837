#include "archive/backup_file.h"

#include <unistd.h>

namespace orrelin {

std::uint64_t MemoryLimit() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::uint64_t{1} << 32;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

Result<OpenedImage> OpenBackupImage(IpdImage file, std::uint64_t limit) {
    const Bytes bytes = file.fileBytes();
    if (LooksLikeZip(bytes)) return ReadArchiveBackup(bytes, limit);
    switch (ClassifyIpdStart(bytes)) {
        case IpdStart::Plain:
            return OpenedImage{std::move(file), {}};
        case IpdStart::Encrypted:
            return Failure{std::string(kEncryptedBackup)};
        case IpdStart::Other:
            break;
    }
    return Failure{std::string(kNotABackup)};
}

}  // namespace orrelin
