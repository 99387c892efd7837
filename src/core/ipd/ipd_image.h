#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "ipd/byte_reader.h"

namespace orrelin {

// Asks the system to back a large block of memory that is about to be filled with large pages,
// so that it is mapped with a few hundred faults instead of thousands. Only a hint: blocks under
// a few megabytes, and systems that do not take it, are left as they are.
void AskForLargePages(const void* start, std::size_t bytes);

// A whole backup in memory: the file's bytes followed by one extra zero byte, so the image is
// one byte longer than the file and its last index (the file length) still reads as 0.
class IpdImage {
  public:
    IpdImage();  // an empty file: the one zero byte
    explicit IpdImage(std::vector<std::uint8_t> fileBytes);
    // Takes over a block of at least fileLength + 1 bytes whose first fileLength bytes are a
    // file's (a backup assembled in memory); the byte after them is set to zero.
    IpdImage(std::shared_ptr<std::uint8_t[]> block, std::size_t fileLength);

    // Reads a file whole, read-only, or says why not as the user sees it: "cannot read PATH:
    // REASON", or "PATH changed while it was being read" for a file that shrank, grew or was
    // written to meanwhile. `opened`, when given, is called once the file is open and before it
    // is read (tests change the file there).
    static Result<IpdImage> Read(const std::string& path, void (*opened)() = nullptr);

    // All readable bytes: the file's and the extra zero.
    Bytes bytes() const { return {data_.get(), size_}; }
    // The file's own bytes.
    Bytes fileBytes() const { return {data_.get(), size_ - 1}; }
    std::size_t fileLength() const { return size_ - 1; }
    std::size_t size() const { return size_; }
    std::uint8_t operator[](std::size_t i) const { return data_.get()[i]; }

    // Whether the image was assembled from a .bbb archive, whose databases may store 16-bit
    // text fields differently from a bare backup file (set by the archive reader).
    bool fromArchive() const { return fromArchive_; }
    void setFromArchive(bool fromArchive) { fromArchive_ = fromArchive; }

    // The bytes from first to last inclusive; empty when last < first, nothing when last lies
    // past the image.
    std::optional<Bytes> range(std::uint64_t first, std::uint64_t last) const {
        if (last < first) return Bytes{};
        if (last >= size_) return std::nullopt;
        return Bytes{data_.get() + first, static_cast<std::size_t>(last - first + 1)};
    }

  private:
    std::shared_ptr<std::uint8_t[]> data_;
    std::size_t size_ = 0;
    bool fromArchive_ = false;
};

}  // namespace orrelin
