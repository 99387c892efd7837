#include "io/file_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/bytes.h"
#include "base/paths.h"

namespace orrelin {
namespace {

void (*g_beforeNaming)(const std::string&) = nullptr;

std::string RandomHex() {
    const std::uint64_t value = platform::RandomBits();
    std::string text(16, '0');
    for (int i = 0; i < 16; ++i)
        text[static_cast<std::size_t>(15 - i)] =
            LowerHexDigit(static_cast<unsigned>(value >> (4 * i)));
    return text;
}

// ".NAME.part-" and 16 random hex digits, beside the target: nobody can create it beforehand.
// A long name is cut so that the temporary one stays within the system's limit.
std::string TempNameFor(const std::string& path) {
    return FolderOfPath(path) + "." + FileNameOfPath(path).substr(0, 200) + ".part-" + RandomHex();
}

}  // namespace

Status WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    auto written = WriteNewFile(path, bytes, IfTaken::Replace);
    if (!written) return Failure{written.error()};
    return {};
}

Result<std::string> WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes,
                                 IfTaken ifTaken) {
    AtomicFile file(path, true, ifTaken);
    if (Status opened = file.open(); !opened) return Failure{opened.error()};
    file.write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (Status committed = file.commit(); !committed) return Failure{committed.error()};
    return file.path();
}

AtomicFile::AtomicFile(std::string path, bool flushToDisk, IfTaken ifTaken)
    : path_(std::move(path)), flushToDisk_(flushToDisk), ifTaken_(ifTaken) {}

AtomicFile::~AtomicFile() {
    discard();
}

Status AtomicFile::open() {
    // A name that is there already (a planted link among them) is never opened: another
    // random name is tried instead.
    int error = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string temp = TempNameFor(path_);
        error = platform::CreateNew(temp, fd_);
        if (error == 0) {
            temp_ = std::move(temp);
            return {};
        }
        if (error != EEXIST) break;
    }
    error_ = std::strerror(error);
    return Failure{error_};
}

bool AtomicFile::write(std::string_view bytes) {
    if (fd_ == platform::kNoFile || !error_.empty()) return false;
    // A piece as large as the buffer goes out as it is, without being copied first.
    if (buffer_.empty() && bytes.size() >= (1u << 20)) {
        if (const int error = platform::WriteAll(fd_, bytes.data(), bytes.size())) {
            error_ = std::strerror(error);
            return false;
        }
        wrote(bytes.size());
        return true;
    }
    buffer_.append(bytes);
    if (buffer_.size() >= (1u << 20)) return flushBuffer();
    return true;
}

bool AtomicFile::flushBuffer() {
    if (buffer_.empty()) return true;
    if (const int error = platform::WriteAll(fd_, buffer_.data(), buffer_.size())) {
        error_ = std::strerror(error);
        return false;
    }
    wrote(buffer_.size());
    buffer_.clear();
    return true;
}

bool AtomicFile::write(std::span<const WritePiece> pieces) {
    if (fd_ == platform::kNoFile || !error_.empty()) return false;
    if (!flushBuffer()) return false;
    std::vector<WritePiece> rest(pieces.begin(), pieces.end());
    std::size_t first = 0;
    while (first < rest.size()) {
        std::size_t n = 0;
        if (const int error =
                platform::WriteSome(fd_, rest.data() + first, rest.size() - first, n)) {
            error_ = std::strerror(error);
            return false;
        }
        wrote(n);
        // A short write: skip what went out, resume inside the piece it stopped in.
        std::size_t left = n;
        while (first < rest.size() && left >= rest[first].iov_len) {
            left -= rest[first].iov_len;
            ++first;
        }
        if (left > 0) {
            rest[first].iov_base = static_cast<char*>(rest[first].iov_base) + left;
            rest[first].iov_len -= left;
        }
    }
    return true;
}

void AtomicFile::wrote(std::uint64_t bytes) {
    written_ += bytes;
    // A file that goes to the disk at the end starts on its way there while it is written, so
    // the wait at the end covers only its last part.
    constexpr std::uint64_t kWriteBehind = 8u << 20;
    if (!flushToDisk_ || written_ - started_ < kWriteBehind) return;
    platform::StartWriteBack(fd_, started_, written_ - started_);
    started_ = written_;
}

Status AtomicFile::commit() {
    if (fd_ == platform::kNoFile)
        return Failure{error_.empty() ? std::string("the file was not opened") : error_};
    if (error_.empty()) flushBuffer();
    buffer_.clear();
    if (error_.empty() && flushToDisk_) {
        if (const int error = platform::FlushToDisk(fd_)) error_ = std::strerror(error);
    }
    if (const int error = platform::Close(fd_); error != 0 && error_.empty())
        error_ = std::strerror(error);
    fd_ = platform::kNoFile;
    if (error_.empty()) {
        if (Status named = giveName(); !named) error_ = named.error();
    }
    if (!error_.empty()) {
        discard();
        return Failure{error_};
    }
    temp_.clear();
    if (flushToDisk_) platform::FlushFolder(FolderOfPath(path_));
    return {};
}

Status AtomicFile::giveName() {
    if (g_beforeNaming) g_beforeNaming(path_);
    if (ifTaken_ == IfTaken::Replace) {
        // rename replaces the entry itself: a link at the name is replaced, not followed.
        if (const int error = platform::RenameReplacing(temp_, path_)) {
            return Failure{std::strerror(error)};
        }
        return {};
    }
    // Names taken since the name was chosen are passed over; the row of free names is endless,
    // so give up only after very many.
    for (int attempt = 0; attempt < 10000; ++attempt) {
        const int error = platform::RenameWithoutReplacing(temp_, path_);
        if (error == 0) return {};
        if (error != EEXIST) return Failure{std::strerror(error)};
        path_ = NextExportName(path_);
    }
    return Failure{std::strerror(EEXIST)};
}

void AtomicFile::discard() {
    if (fd_ != platform::kNoFile) {
        platform::Close(fd_);
        fd_ = platform::kNoFile;
    }
    if (!temp_.empty()) {
        platform::Remove(temp_);
        temp_.clear();
    }
}

std::string GeneratedExportName(std::string_view folder, std::tm when, std::string_view extension) {
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%02d%02d%02d%02d", when.tm_mday % 100, when.tm_hour % 100,
                  when.tm_min % 100, when.tm_sec % 100);
    std::string stem = std::string(folder) + "Orrelin_Export_" + stamp;
    std::string name = stem + std::string(extension);
    for (int n = 2; platform::Exists(name); ++n)
        name = stem + "_" + std::to_string(n) + std::string(extension);
    return name;
}

std::string NextExportName(std::string_view path) {
    const std::size_t nameAt = LastSeparator(path) + 1;  // 0 without a folder
    std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < nameAt) dot = path.size();
    std::string_view stem = path.substr(0, dot);
    const std::string_view extension = path.substr(dot);
    // The eight digits of a made name's time are part of its stem, never a count.
    constexpr std::string_view kMade = "Orrelin_Export_";
    std::size_t countFrom = nameAt;
    if (path.substr(nameAt, kMade.size()) == kMade) countFrom = nameAt + kMade.size() + 8;
    int n = 1;
    const std::size_t bar = stem.rfind('_');
    if (bar != std::string_view::npos && bar >= countFrom && bar + 1 < stem.size() &&
        stem.size() - bar - 1 <= 9 && stem[bar + 1] != '0' &&
        stem.find_first_not_of("0123456789", bar + 1) == std::string_view::npos) {
        const int count = std::stoi(std::string(stem.substr(bar + 1)));
        if (count >= 2) {
            n = count;
            stem = stem.substr(0, bar);
        }
    }
    return std::string(stem) + "_" + std::to_string(n + 1) + std::string(extension);
}

std::tm LocalTimeNow() {
    return platform::LocalTime(std::time(nullptr));
}

void SetBeforeNamingHook(void (*hook)(const std::string& path)) {
    g_beforeNaming = hook;
}

}  // namespace orrelin
