#include "archive/zip_reader.h"

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <vector>

#include <utility>

namespace orrelin {
namespace {

std::string Reason(zip_error_t* error) {
    std::string text = zip_error_strerror(error);
    zip_error_fini(error);
    return text;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// A libzip error code in libzip's own words.
std::string LibzipWords(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string words = zip_error_strerror(&error);
    zip_error_fini(&error);
    return words;
}

}  // namespace

void ZipReader::Closer::operator()(zip* archive) const {
    zip_discard(archive);
}

Result<ZipReader> ZipReader::Open(Bytes archive) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
    if (!source) return Failure{"the archive cannot be read: " + Reason(&error)};
    // The consistency check compares the central directory with the entries' own headers, so
    // that a damaged archive is refused here rather than read in part.
    zip_t* opened = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!opened) {
        zip_source_free(source);
        return Failure{"the archive is damaged: " + Reason(&error)};
    }
    zip_error_fini(&error);
    const zip_int64_t count = zip_get_num_entries(opened, 0);
    return ZipReader(opened, count > 0 ? static_cast<std::uint64_t>(count) : 0, archive.size());
}

std::string ZipReader::name(std::uint64_t entry) const {
    const char* text = zip_get_name(archive_.get(), entry, ZIP_FL_ENC_RAW);
    return text ? std::string(text) : std::string();
}

std::optional<std::uint64_t> ZipReader::find(std::string_view wanted) const {
    for (std::uint64_t i = 0; i < count_; ++i) {
        const char* text = zip_get_name(archive_.get(), i, ZIP_FL_ENC_RAW);
        if (text && SameIgnoringCase(text, wanted)) return i;
    }
    return std::nullopt;
}

Result<std::uint64_t> ZipReader::declaredSize(std::uint64_t entry) const {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive_.get(), entry, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        return std::uint64_t{0};
    const std::uint64_t packed = stat.valid & ZIP_STAT_COMP_SIZE ? stat.comp_size : 0;
    const std::string unpacks =
        name(entry) + ": it unpacks to " + std::to_string(stat.size) + " bytes";
    if (stat.size > kMostInflated) {
        return Failure{unpacks + ", more than the " + std::to_string(kMostInflated) +
                       " a backup can hold"};
    }
    if (packed > length_)
        return Failure{name(entry) + ": its packed bytes run past the end of the archive"};
    if (stat.size > packed * kMostInflateRatio + kInflateSlack) {
        return Failure{unpacks + " from " + std::to_string(packed) + ", more than " +
                       std::to_string(kMostInflateRatio) + " times as many as any backup"};
    }
    return std::uint64_t{stat.size};
}

// The raw deflate stream of an entry, inflated by zlib, its input counted.
struct ZipReader::Stream::Inflater {
    z_stream z{};
    std::vector<std::uint8_t> input = std::vector<std::uint8_t>(std::size_t{64} << 10);
    std::uint64_t packedLeft = 0;  // raw bytes not yet read from the archive
    std::uint32_t expectedCrc = 0;
    bool checkCrc = false;
    std::uint32_t crc = 0;
    bool ended = false;  // the deflate stream's last block is through
};

void ZipReader::Stream::InflaterDeleter::operator()(Inflater* inflater) const {
    inflateEnd(&inflater->z);
    delete inflater;
}

Result<ZipReader::Stream> ZipReader::open(std::uint64_t entry) const {
    const std::string entryName = name(entry);
    zip_stat_t stat;
    zip_stat_init(&stat);
    const bool known = zip_stat_index(archive_.get(), entry, 0, &stat) == 0;
    // Deflated and not encrypted: inflated here. Anything else (stored, another method, or an
    // encryption whose refusal libzip words) through libzip, bounded by the declared size alone.
    const bool inflateHere =
        known && (stat.valid & ZIP_STAT_COMP_METHOD) && stat.comp_method == ZIP_CM_DEFLATE &&
        (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method == ZIP_EM_NONE &&
        (stat.valid & ZIP_STAT_COMP_SIZE);
    zip_file_t* file = zip_fopen_index(archive_.get(), entry, inflateHere ? ZIP_FL_COMPRESSED : 0);
    if (!file) {
        zip_error_t* error = zip_get_error(archive_.get());
        const int code = zip_error_code_zip(error);
        std::string why = code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD
                              ? std::string("it is encrypted")
                              : std::string(zip_error_strerror(error));
        zip_error_clear(archive_.get());
        return Failure{entryName + ": " + why};
    }
    if (!inflateHere) return Stream(file, entryName);
    auto* inflater = new Stream::Inflater;
    if (inflateInit2(&inflater->z, -MAX_WBITS) != Z_OK) {
        delete inflater;
        zip_fclose(file);
        return Failure{entryName + ": " + LibzipWords(ZIP_ER_MEMORY)};
    }
    inflater->packedLeft = stat.comp_size;
    inflater->checkCrc = (stat.valid & ZIP_STAT_CRC) != 0;
    inflater->expectedCrc = stat.crc;
    return Stream(file, entryName, inflater);
}

ZipReader::Stream::Stream(zip_file* file, std::string name, Inflater* inflater)
    : file_(file), name_(std::move(name)), inflater_(inflater) {}

ZipReader::Stream::Stream(Stream&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      name_(std::move(other.name_)),
      inflater_(std::move(other.inflater_)) {}

ZipReader::Stream& ZipReader::Stream::operator=(Stream&& other) noexcept {
    if (this != &other) {
        if (file_) zip_fclose(file_);
        file_ = std::exchange(other.file_, nullptr);
        name_ = std::move(other.name_);
        inflater_ = std::move(other.inflater_);
    }
    return *this;
}

ZipReader::Stream::~Stream() {
    if (file_) zip_fclose(file_);
}

Status ZipReader::Stream::failed(std::string_view why) const {
    return Failure{name_ + ": " + std::string(why)};
}

// The failure in libzip's own words, as when libzip inflates.
Status ZipReader::Stream::failedWith(int libzipCode) const {
    return failed(LibzipWords(libzipCode));
}

// Inflates exactly `size` bytes into `out`, or with `probe` finds out whether anything is left
// (`size` 1: a byte produced fails the entry as holding more than declared).
Status ZipReader::Stream::inflate(std::uint8_t* out, std::uint64_t size, bool probe) {
    Inflater& in = *inflater_;
    while (size > 0) {
        if (in.ended) return probe ? Status{} : failed("it ends before its declared size");
        if (in.z.avail_in == 0 && in.packedLeft > 0) {
            const std::uint64_t want = std::min<std::uint64_t>(in.packedLeft, in.input.size());
            const zip_int64_t got = zip_fread(file_, in.input.data(), want);
            if (got < 0) return failed(zip_error_strerror(zip_file_get_error(file_)));
            if (got == 0) return failedWith(ZIP_ER_EOF);
            in.packedLeft -= static_cast<std::uint64_t>(got);
            in.z.next_in = in.input.data();
            in.z.avail_in = static_cast<uInt>(got);
        }
        const uInt room = static_cast<uInt>(std::min<std::uint64_t>(size, 1u << 30));
        in.z.next_out = out;
        in.z.avail_out = room;
        const int result = ::inflate(&in.z, Z_NO_FLUSH);
        const uInt produced = room - in.z.avail_out;
        if (result == Z_STREAM_END) {
            in.ended = true;
        } else if (result == Z_BUF_ERROR) {
            // No progress: more input is wanted, and there is none when the packed bytes stop
            // mid-stream.
            if (in.z.avail_in > 0 || in.packedLeft == 0) return failedWith(ZIP_ER_COMPRESSED_DATA);
        } else if (result != Z_OK) {
            return failedWith(result == Z_MEM_ERROR ? ZIP_ER_MEMORY : ZIP_ER_COMPRESSED_DATA);
        }
        if (produced > 0 && probe) return failed("it holds more than its declared size");
        if (in.z.total_out > in.z.total_in * kMostInflateRatio + kInflateSlack) {
            return failed("it unpacks to more than " + std::to_string(kMostInflateRatio) +
                          " times the " + std::to_string(in.z.total_in) +
                          " packed bytes it has used, more than any backup");
        }
        in.crc = static_cast<std::uint32_t>(crc32(in.crc, out, produced));
        out += produced;
        size -= produced;
    }
    return {};
}

Status ZipReader::Stream::read(std::uint8_t* out, std::uint64_t size) {
    if (inflater_) return inflate(out, size, false);
    // In pieces, so that a size beyond what one call takes is read all the same.
    constexpr std::uint64_t kPiece = std::uint64_t{1} << 30;
    while (size > 0) {
        const std::uint64_t want = size < kPiece ? size : kPiece;
        const zip_int64_t got = zip_fread(file_, out, want);
        if (got < 0) return failed(zip_error_strerror(zip_file_get_error(file_)));
        if (got == 0) return failed("it ends before its declared size");
        out += got;
        size -= static_cast<std::uint64_t>(got);
    }
    return {};
}

Status ZipReader::Stream::finish() {
    std::uint8_t more = 0;
    if (inflater_) {
        if (auto rest = inflate(&more, 1, true); !rest) return rest;
        if (inflater_->checkCrc && inflater_->crc != inflater_->expectedCrc)
            return failedWith(ZIP_ER_CRC);
        return {};
    }
    const zip_int64_t got = zip_fread(file_, &more, 1);
    if (got < 0) return failed(zip_error_strerror(zip_file_get_error(file_)));
    if (got > 0) return failed("it holds more than its declared size");
    return {};
}

}  // namespace orrelin
