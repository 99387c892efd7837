#include "io/file_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/paths.h"

namespace orrelin {
namespace {

std::string TempNameFor(const std::string& path) {
    return FolderOfPath(path) + "." + FileNameOfPath(path) + ".part-" + std::to_string(::getpid());
}

bool WriteAll(int fd, const char* data, std::size_t size, std::string& error) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               std::span<const std::uint8_t> bytes) {
    AtomicFile file(path);
    if (auto error = file.open()) return error;
    file.write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return file.commit();
}

AtomicFile::AtomicFile(std::string path, bool flushToDisk)
    : path_(std::move(path)), temp_(TempNameFor(path_)), flushToDisk_(flushToDisk) {}

AtomicFile::~AtomicFile() {
    discard();
}

std::optional<std::string> AtomicFile::open() {
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        return error_;
    }
    return std::nullopt;
}

bool AtomicFile::write(std::string_view bytes) {
    if (fd_ < 0 || !error_.empty()) return false;
    // A piece as large as the buffer goes out as it is, without being copied first.
    if (buffer_.empty() && bytes.size() >= (1u << 20)) {
        if (!WriteAll(fd_, bytes.data(), bytes.size(), error_)) return false;
        wrote(bytes.size());
        return true;
    }
    buffer_.append(bytes);
    if (buffer_.size() >= (1u << 20)) {
        if (!WriteAll(fd_, buffer_.data(), buffer_.size(), error_)) return false;
        wrote(buffer_.size());
        buffer_.clear();
    }
    return true;
}

bool AtomicFile::write(std::span<const iovec> pieces) {
    if (fd_ < 0 || !error_.empty()) return false;
    if (!buffer_.empty()) {
        if (!WriteAll(fd_, buffer_.data(), buffer_.size(), error_)) return false;
        wrote(buffer_.size());
        buffer_.clear();
    }
    std::vector<iovec> rest(pieces.begin(), pieces.end());
    std::size_t first = 0;
    while (first < rest.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(rest.size() - first, IOV_MAX));
        ssize_t n = ::writev(fd_, rest.data() + first, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            error_ = std::strerror(errno);
            return false;
        }
        wrote(static_cast<std::uint64_t>(n));
        // A short write: skip what went out, resume inside the piece it stopped in.
        auto left = static_cast<std::size_t>(n);
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
    ::sync_file_range(fd_, static_cast<off_t>(started_), static_cast<off_t>(written_ - started_),
                      SYNC_FILE_RANGE_WRITE);
    started_ = written_;
}

std::optional<std::string> AtomicFile::commit() {
    if (fd_ < 0) return error_.empty() ? std::string("the file was not opened") : error_;
    if (error_.empty() && !buffer_.empty()) WriteAll(fd_, buffer_.data(), buffer_.size(), error_);
    buffer_.clear();
    if (error_.empty() && flushToDisk_ && ::fsync(fd_) != 0) error_ = std::strerror(errno);
    if (::close(fd_) != 0 && error_.empty()) error_ = std::strerror(errno);
    fd_ = -1;
    if (error_.empty() && std::rename(temp_.c_str(), path_.c_str()) != 0) {
        error_ = std::strerror(errno);
    }
    if (!error_.empty()) {
        ::unlink(temp_.c_str());
        return error_;
    }
    temp_.clear();
    return std::nullopt;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

std::string GeneratedExportName(std::string_view folder, std::tm when, std::string_view extension) {
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%02d%02d%02d%02d", when.tm_mday % 100, when.tm_hour % 100,
                  when.tm_min % 100, when.tm_sec % 100);
    std::string stem = std::string(folder) + "Orrelin_Export_" + stamp;
    std::string name = stem + std::string(extension);
    for (int n = 2; Exists(name); ++n)
        name = stem + "_" + std::to_string(n) + std::string(extension);
    return name;
}

std::tm LocalTimeNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return local;
}

}  // namespace orrelin
