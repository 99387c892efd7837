#include "archive/zip_reader.h"

#include <zip.h>

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

Result<ZipReader::Stream> ZipReader::open(std::uint64_t entry) const {
    const std::string entryName = name(entry);
    zip_file_t* file = zip_fopen_index(archive_.get(), entry, 0);
    if (!file) {
        zip_error_t* error = zip_get_error(archive_.get());
        const int code = zip_error_code_zip(error);
        std::string why = code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD
                              ? std::string("it is encrypted")
                              : std::string(zip_error_strerror(error));
        zip_error_clear(archive_.get());
        return Failure{entryName + ": " + why};
    }
    return Stream(file, entryName);
}

ZipReader::Stream::Stream(Stream&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), name_(std::move(other.name_)) {}

ZipReader::Stream& ZipReader::Stream::operator=(Stream&& other) noexcept {
    if (this != &other) {
        if (file_) zip_fclose(file_);
        file_ = std::exchange(other.file_, nullptr);
        name_ = std::move(other.name_);
    }
    return *this;
}

ZipReader::Stream::~Stream() {
    if (file_) zip_fclose(file_);
}

Status ZipReader::Stream::failed(std::string_view why) const {
    return Failure{name_ + ": " + std::string(why)};
}

Status ZipReader::Stream::read(std::uint8_t* out, std::uint64_t size) {
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
    const zip_int64_t got = zip_fread(file_, &more, 1);
    if (got < 0) return failed(zip_error_strerror(zip_file_get_error(file_)));
    if (got > 0) return failed("it holds more than its declared size");
    return {};
}

}  // namespace orrelin
