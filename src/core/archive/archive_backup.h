#pragma once

// A .bbb archive made into one backup in memory. Two layouts are read:
//
// - Manifest.xml and Databases/<uid>.dat: each .dat entry is an IPD file of its own (header,
//   name table, records) holding one database. Their records are merged into one IPD image
//   with one name table (equal names share one entry), each record's database index renumbered
//   to it; records of index 0xFFFF are left out.
// - Databases/Databases.ipd (beside BlackBerry_Backup.xml): a whole IPD file, taken as it is.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/bytes.h"
#include "base/result.h"
#include "io/progress.h"
#include "ipd/ipd_image.h"

namespace orrelin {

// The reasons a backup cannot be opened at all, as the user reads them.
inline constexpr std::string_view kNotABackup = "not a BlackBerry backup";
inline constexpr std::string_view kEncryptedBackup = "the backup is encrypted";
inline constexpr std::string_view kBlackBerry10Backup = "BlackBerry 10 backups are not supported";
// A build without the archive libraries (the Windows build) says so for every ZIP file.
inline constexpr std::string_view kNoArchiveReader =
    "this build of Orrelin cannot read .bbb archives";
// What an open stopped by its progress callback fails with.
inline constexpr std::string_view kOpenCancelled = "the open was cancelled";

// A backup ready to be walked, and what the user should hear about how it was put together
// (each a sentence without the file's name).
struct OpenedImage {
    IpdImage image;
    std::vector<std::string> warnings;
};

// How a file or archive entry begins.
enum class IpdStart {
    Plain,      // the IPD signature followed by anything but a space
    Encrypted,  // the IPD signature followed by a space
    Other,      // no IPD signature
};
IpdStart ClassifyIpdStart(Bytes bytes);

// True for bytes that begin as a ZIP archive does.
bool LooksLikeZip(Bytes bytes);

// Assembles the backup an archive holds (archive_backup.cpp; absent from builds without the
// archive libraries). Nothing inflated ever passes `limit` bytes: an entry
// or a whole that declares more is refused, and an entry is never inflated past its declared
// size, itself bounded as zip_reader.h says. Fails with kNotABackup, kEncryptedBackup,
// kBlackBerry10Backup, a damaged archive ("the archive is damaged: ENTRY: WHY", a size past
// those bounds among them) or a size past `limit` refused. `progress` is told the bytes
// unpacked of the databases' whole after every few megabytes; when it returns false the open
// stops with kOpenCancelled.
Result<OpenedImage> ReadArchiveBackup(Bytes archive, std::uint64_t limit,
                                      const ProgressCallback& progress = {});

}  // namespace orrelin
