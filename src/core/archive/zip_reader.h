#pragma once

// A ZIP archive held in memory, read through libzip: its entries by name, and an entry's bytes
// inflated into memory the caller gives, never more than the size the archive declares for it.
//
// A declared size is believed only within two bounds, so that an archive made to unpack to far
// more than it holds (a "ZIP bomb") is refused before anything is inflated or set aside for it:
// - kMostInflated: no backup holds more. A backup holds what a handheld's application memory
//   holds: hundreds of megabytes on BlackBerry OS handhelds, a few gigabytes at the very most.
// - kMostInflateRatio: no entry unpacks to more than this many times its packed bytes (and
//   kInflateSlack). Databases pack 2 to 10 to 1; deflate reaches 1032 to 1 on zeros alone.
// Since an entry never inflates past its declared size, what any entry of an archive takes in
// memory is bounded by both. A deflated entry is inflated here (zlib) rather than by libzip, so
// that the ratio is also held against the packed bytes actually used: an entry whose packed
// bytes are mostly padding after a short stream of zeros is refused once its output passes
// kMostInflateRatio times the input read so far (and kInflateSlack), long before it fills
// what it declares.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/bytes.h"
#include "base/result.h"

struct zip;
struct zip_file;

namespace orrelin {

inline constexpr std::uint64_t kMostInflated = std::uint64_t{4} << 30;
inline constexpr std::uint64_t kMostInflateRatio = 100;
inline constexpr std::uint64_t kInflateSlack = std::uint64_t{1} << 20;

class ZipReader {
  public:
    // Opens the archive over `archive`, which must outlive the reader. The failure reason says
    // what is wrong with the archive ("the archive is damaged: ...").
    static Result<ZipReader> Open(Bytes archive);

    std::uint64_t entryCount() const { return count_; }
    // The entry's name as stored ("Databases/125.dat"); "" when it has none.
    std::string name(std::uint64_t entry) const;
    // The first entry whose name equals `name`, ignoring ASCII case.
    std::optional<std::uint64_t> find(std::string_view name) const;
    // The size the archive gives for the entry's inflated bytes, when it is within the bounds
    // above and the entry's packed bytes lie inside the archive; else the failure names the
    // entry and why ("Databases/1.dat: it unpacks to 6442451001 bytes, more than ...").
    Result<std::uint64_t> declaredSize(std::uint64_t entry) const;

    // An entry being inflated, front to back.
    class Stream {
      public:
        Stream(Stream&&) noexcept;
        Stream& operator=(Stream&&) noexcept;
        ~Stream();
        // Exactly `size` bytes into `out`; the failure names the entry and why ("Databases/1.dat:
        // it ends before its declared size", "...: CRC error").
        Status read(std::uint8_t* out, std::uint64_t size);
        // Checks that nothing follows the bytes read so far (the entry holds no more than it
        // declared) and that the archive's checksum holds.
        Status finish();

      private:
        friend class ZipReader;
        struct Inflater;
        struct InflaterDeleter {
            void operator()(Inflater* inflater) const;
        };
        Stream(zip_file* file, std::string name, Inflater* inflater = nullptr);
        Status failed(std::string_view why) const;
        Status failedWith(int libzipCode) const;
        Status inflate(std::uint8_t* out, std::uint64_t size, bool probe);
        zip_file* file_ = nullptr;
        std::string name_;
        std::unique_ptr<Inflater, InflaterDeleter> inflater_;
    };
    // Starts inflating an entry; an entry encrypted by the archive itself, or compressed in a
    // way this build cannot inflate, fails with the reason.
    Result<Stream> open(std::uint64_t entry) const;

  private:
    struct Closer {
        void operator()(zip* archive) const;
    };
    ZipReader(zip* archive, std::uint64_t count, std::uint64_t length)
        : archive_(archive), count_(count), length_(length) {}
    std::unique_ptr<zip, Closer> archive_;
    std::uint64_t count_ = 0;
    std::uint64_t length_ = 0;  // of the whole archive
};

}  // namespace orrelin
