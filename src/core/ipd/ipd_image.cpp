#include "ipd/ipd_image.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "base/cores.h"
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

struct PartRead {
    int error = 0;
    bool shrank = false;
};

// Bytes [from, to) of the file into data + from.
PartRead ReadPart(platform::FileHandle file, std::uint8_t* data, std::size_t from, std::size_t to) {
    while (from < to) {
        std::size_t got = 0;
        if (const int error = platform::ReadSomeAt(file, data + from, to - from, from, got))
            return {error, false};
        if (got == 0) return {0, true};
        from += got;
    }
    return {};
}

// Below this a file is read on the calling thread alone.
constexpr std::size_t kPartedFrom = std::size_t{16} << 20;

// The first `length` bytes of the file. Most of the time of reading a large file goes to the
// system clearing the fresh memory it is read into, which happens on the thread that first
// touches each page: so a large file is read in a part per core, each on a thread of its own.
PartRead ReadParts(platform::FileHandle file, std::uint8_t* data, std::size_t length) {
    const std::size_t parts =
        length < kPartedFrom ? 1 : std::clamp<std::size_t>(UsableCores(), 1, 4);
    if (parts == 1) return ReadPart(file, data, 0, length);
    std::vector<PartRead> results(parts);
    auto bound = [&](std::size_t k) { return k == parts ? length : length / parts * k; };
    std::vector<std::thread> threads;
    for (std::size_t k = 1; k < parts; ++k)
        threads.emplace_back([&, k] { results[k] = ReadPart(file, data, bound(k), bound(k + 1)); });
    results[0] = ReadPart(file, data, 0, bound(1));
    for (std::thread& thread : threads)
        thread.join();
    for (const PartRead& result : results) {
        if (result.error || result.shrank) return result;
    }
    return {};
}

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
    const PartRead whole = ReadParts(file.fd, data, length);
    if (whole.error) return fail(whole.error);
    if (whole.shrank) return changedMeanwhile();
    std::uint8_t more = 0;
    std::size_t extra = 0;
    if (const int error = platform::ReadSomeAt(file.fd, &more, 1, length, extra))
        return fail(error);
    platform::FileState after;
    if (const int error = platform::StateOf(file.fd, after)) return fail(error);
    if (extra > 0 || !SameState(before, after)) return changedMeanwhile();
    return image;
}

}  // namespace orrelin
