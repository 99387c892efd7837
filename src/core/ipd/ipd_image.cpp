#include "ipd/ipd_image.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

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

std::optional<IpdImage> IpdImage::ReadFile(const std::string& path, std::string* error) {
    auto fail = [&](int code) -> std::optional<IpdImage> {
        if (error) *error = std::strerror(code);
        return std::nullopt;
    };
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        int code = errno;
        ::close(fd);
        return fail(code);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(EISDIR);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        if (error) *error = "not a regular file";
        return std::nullopt;
    }
    auto length = static_cast<std::size_t>(st.st_size);
    IpdImage image;
    image.data_ = Allocate(length + 1);
    image.size_ = length + 1;
    std::size_t done = 0;
    while (done < length) {
        ssize_t got = ::read(fd, image.data_.get() + done, length - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            int code = errno;
            ::close(fd);
            return fail(code);
        }
        if (got == 0) break;  // the file shrank while we read it
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    image.size_ = done + 1;
    image.data_.get()[done] = 0;
    return image;
}

std::optional<IpdImage> IpdImage::MapFile(const std::string& path, std::string* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ReadFile(path, error);  // ReadFile says why
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        ::close(fd);
        return ReadFile(path, error);
    }
    const auto length = static_cast<std::size_t>(st.st_size);
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t total = (length + 1 + page - 1) / page * page;
    // Zero pages of the whole size first, then the file over their start: the bytes after the
    // file's end, the image's extra zero among them, read as 0 whether or not the file ends on
    // a page boundary.
    void* base = ::mmap(nullptr, total, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) {
        ::close(fd);
        return ReadFile(path, error);
    }
    void* file = ::mmap(base, length, PROT_READ, MAP_PRIVATE | MAP_FIXED | MAP_POPULATE, fd, 0);
    ::close(fd);
    auto* bytes = static_cast<std::uint8_t*>(base);
    // A file that grew after fstat would show its new bytes past `length`: read it instead.
    if (file == MAP_FAILED || bytes[length] != 0) {
        ::munmap(base, total);
        return ReadFile(path, error);
    }
    IpdImage image;
    image.data_ =
        std::shared_ptr<std::uint8_t[]>(bytes, [total](std::uint8_t* p) { ::munmap(p, total); });
    image.size_ = length + 1;
    return image;
}

}  // namespace orrelin
