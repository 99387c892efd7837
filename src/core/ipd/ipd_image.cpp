#include "ipd/ipd_image.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "io/platform.h"

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
    if (end > first) platform::AdviseLargePages(reinterpret_cast<void*>(first), end - first);
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

bool SameState(const platform::FileState& a, const platform::FileState& b) {
    return a.size == b.size && a.modified == b.modified && a.modifiedFraction == b.modifiedFraction;
}

struct FileCloser {
    platform::FileHandle fd = platform::kNoFile;
    ~FileCloser() {
        if (fd != platform::kNoFile) platform::Close(fd);
    }
};

}  // namespace

// The bytes are copied into memory of the image's own, so a program that later rewrites or
// truncates the file cannot take them from under the reader. A change while they are being
// copied shows as a read that ends early or goes on, or as a new size or modification time,
// and fails the read rather than giving a mix of old and new bytes.
Result<IpdImage> IpdImage::Read(const std::string& path, void (*opened)()) {
    auto fail = [&](int code) -> Result<IpdImage> {
        return Failure{"cannot read " + path + ": " + std::strerror(code)};
    };
    auto changedMeanwhile = [&]() -> Result<IpdImage> {
        return Failure{path + " changed while it was being read"};
    };
    FileCloser file;
    if (const int error = platform::OpenForReading(path, file.fd)) return fail(error);
    platform::FileState before;
    if (const int error = platform::StateOf(file.fd, before)) return fail(error);
    if (before.folder) return fail(EISDIR);
    if (!before.regular) return Failure{"cannot read " + path + ": not a regular file"};
    if (opened) opened();
    const auto length = static_cast<std::size_t>(before.size);
    IpdImage image;
    image.data_ = Allocate(length + 1);
    image.size_ = length + 1;
    std::uint8_t* data = image.data_.get();
    data[length] = 0;
    std::size_t done = 0;
    while (done < length) {
        std::size_t got = 0;
        if (const int error = platform::ReadSome(file.fd, data + done, length - done, got))
            return fail(error);
        if (got == 0) return changedMeanwhile();  // it shrank
        done += got;
    }
    std::uint8_t more = 0;
    std::size_t extra = 0;
    if (const int error = platform::ReadSome(file.fd, &more, 1, extra)) return fail(error);
    platform::FileState after;
    if (const int error = platform::StateOf(file.fd, after)) return fail(error);
    if (extra > 0 || !SameState(before, after)) return changedMeanwhile();
    return image;
}

}  // namespace orrelin
