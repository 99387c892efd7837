#include "ipd/ipd_image.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <utility>

namespace orrelin {
namespace {

std::shared_ptr<std::uint8_t[]> Allocate(std::size_t n) {
    // Left uninitialised on purpose: a large backup is read straight into it.
    std::shared_ptr<std::uint8_t[]> data(new std::uint8_t[n]);
    AskForLargePages(data.get(), n);
    return data;
}

}  // namespace

void AskForLargePages(const void* start, std::size_t bytes) {
    constexpr std::uintptr_t kLarge = 2u << 20;
    if (bytes < 4 * kLarge) return;
    const auto at = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (at + kLarge - 1) & ~(kLarge - 1);
    const std::uintptr_t end = (at + bytes) & ~(kLarge - 1);
    if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

IpdImage::IpdImage() : data_(Allocate(1)), size_(1) {
    data_.get()[0] = 0;
}

IpdImage::IpdImage(std::vector<std::uint8_t> fileBytes)
    : data_(Allocate(fileBytes.size() + 1)), size_(fileBytes.size() + 1) {
    if (!fileBytes.empty()) std::memcpy(data_.get(), fileBytes.data(), fileBytes.size());
    data_.get()[size_ - 1] = 0;
}

IpdImage::IpdImage(std::shared_ptr<std::uint8_t[]> block, std::size_t fileLength)
    : data_(std::move(block)), size_(fileLength + 1) {
    data_.get()[fileLength] = 0;
}

namespace {

bool SameState(const struct stat& a, const struct stat& b) {
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

struct FileCloser {
    int fd;
    ~FileCloser() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

// The bytes are copied into memory of the image's own, so a program that later rewrites or
// truncates the file cannot take them from under the reader. A change while they are being
// copied shows as a read that ends early or goes on, or as a new size or modification time,
// and fails the read rather than giving a mix of old and new bytes.
std::optional<IpdImage> IpdImage::ReadWhole(const std::string& path, void (*opened)(),
                                            std::string& reason, bool& changed) {
    auto fail = [&](int code) -> std::optional<IpdImage> {
        reason = std::strerror(code);
        return std::nullopt;
    };
    auto changedMeanwhile = [&]() -> std::optional<IpdImage> {
        reason = kChangedWhileRead;
        changed = true;
        return std::nullopt;
    };
    const FileCloser file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) return fail(errno);
    struct stat before {};
    if (::fstat(file.fd, &before) != 0) return fail(errno);
    if (S_ISDIR(before.st_mode)) return fail(EISDIR);
    if (!S_ISREG(before.st_mode)) {
        reason = "not a regular file";
        return std::nullopt;
    }
    if (opened) opened();
    const auto length = static_cast<std::size_t>(before.st_size);
    IpdImage image;
    image.data_ = Allocate(length + 1);
    image.size_ = length + 1;
    std::uint8_t* data = image.data_.get();
    data[length] = 0;
    std::size_t done = 0;
    while (done < length) {
        ssize_t got = ::read(file.fd, data + done, length - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (got == 0) return changedMeanwhile();  // it shrank
        done += static_cast<std::size_t>(got);
    }
    std::uint8_t more = 0;
    ssize_t extra;
    do {
        extra = ::read(file.fd, &more, 1);
    } while (extra < 0 && errno == EINTR);
    if (extra < 0) return fail(errno);
    struct stat after {};
    if (::fstat(file.fd, &after) != 0) return fail(errno);
    if (extra > 0 || !SameState(before, after)) return changedMeanwhile();
    return image;
}

std::optional<IpdImage> IpdImage::ReadFile(const std::string& path, std::string* error) {
    std::string reason;
    bool changed = false;
    auto image = ReadWhole(path, nullptr, reason, changed);
    if (!image && error) *error = reason;
    return image;
}

Result<IpdImage> IpdImage::Read(const std::string& path, void (*opened)()) {
    std::string reason;
    bool changed = false;
    auto image = ReadWhole(path, opened, reason, changed);
    if (image) return std::move(*image);
    if (changed) return Failure{path + " changed while it was being read"};
    return Failure{"cannot read " + path + ": " + reason};
}

}  // namespace orrelin
