#include "archive/backup_file.h"

#include <cstring>

#include "io/platform.h"
#include "ipd/ipd_format.h"

namespace orrelin {

IpdStart ClassifyIpdStart(Bytes bytes) {
    const std::size_t n = kIpdHeaderText.size();
    if (bytes.size() < n ||
        std::memcmp(bytes.data(), kIpdHeaderText.data(), kIpdHeaderText.size()) != 0) {
        return IpdStart::Other;
    }
    return bytes.size() > n && bytes[n] == 0x20 ? IpdStart::Encrypted : IpdStart::Plain;
}

bool LooksLikeZip(Bytes bytes) {
    // A local file header, or the end record of an archive without entries.
    return bytes.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K' &&
           ((bytes[2] == 3 && bytes[3] == 4) || (bytes[2] == 5 && bytes[3] == 6));
}

std::uint64_t MemoryLimit() {
    return platform::PhysicalMemory();
}

Result<OpenedImage> OpenBackupImage(IpdImage file, std::uint64_t limit,
                                    const ProgressCallback& progress) {
    const Bytes bytes = file.fileBytes();
#ifdef ORRELIN_WITHOUT_ARCHIVES
    (void)limit;
    (void)progress;
    if (LooksLikeZip(bytes)) return Failure{std::string(kNoArchiveReader)};
#else
    if (LooksLikeZip(bytes)) return ReadArchiveBackup(bytes, limit, progress);
#endif
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
