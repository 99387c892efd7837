#include "ipd/ipd_writer.h"

#include "io/file_output.h"
#include "io/platform.h"

namespace orrelin {
namespace {

// Progress is reported at most once per this many units of work (and at the end).
constexpr std::uint64_t kProgressStep = 4096;

class FileSink final : public IpdSink {
  public:
    FileSink(AtomicFile& file, std::uint64_t total, const ProgressCallback& progress)
        : file_(file), total_(total), progress_(progress) {
        store_.reserve(kStore);
        pieces_.reserve(kPieces);
    }

    // Pieces are gathered and go out a batch at a time in one system call. A caller's text may
    // be reused as soon as write() returns, so it is copied into the batch's own store; image
    // bytes stay where they are until the write ends and go out from there without a copy.
    void write(std::string_view bytes) override {
        if (bytes.size() > kStore) {
            flush();
            file_.write(bytes);
            return;
        }
        if (store_.size() + bytes.size() > kStore) flush();
        const std::size_t at = store_.size();
        store_.append(bytes);  // within the capacity reserved: earlier pieces stay put
        add(store_.data() + at, bytes.size());
    }
    void write(Bytes bytes) override { add(const_cast<std::uint8_t*>(bytes.data()), bytes.size()); }
    void flush() {
        if (!pieces_.empty()) file_.write(std::span<const WritePiece>(pieces_));
        pieces_.clear();
        store_.clear();
    }
    bool advance(std::uint64_t units) override {
        done_ += units;
        if (cancelled_) return false;
        if (!progress_ || done_ - reported_ < kProgressStep) return true;
        reported_ = done_;
        cancelled_ = !progress_(done_, total_);
        return !cancelled_;
    }
    bool finish() {
        if (!progress_ || cancelled_) return !cancelled_;
        cancelled_ = !progress_(total_, total_);
        return !cancelled_;
    }

  private:
    static constexpr std::size_t kStore = 64 * 1024;
    static constexpr std::size_t kPieces = 4096;

    void add(void* data, std::size_t size) {
        if (size == 0) return;
        if (pieces_.size() == kPieces) flush();
        pieces_.push_back(WritePiece{data, size});
    }

    std::string store_;
    std::vector<WritePiece> pieces_;
    AtomicFile& file_;
    std::uint64_t total_;
    const ProgressCallback& progress_;
    std::uint64_t done_ = 0;
    std::uint64_t reported_ = 0;
    bool cancelled_ = false;
};

}  // namespace

bool IsSameFile(const std::string& a, const std::string& b) {
    return platform::SameFile(a, b);
}

Status RefuseOpenedFile(const std::string& target, const std::vector<std::string>& opened) {
    for (const auto& path : opened) {
        if (IsSameFile(target, path)) {
            return Failure{target +
                           " is a backup being read, and Orrelin never changes a file it opened. "
                           "Choose another name for the new file."};
        }
    }
    return {};
}

std::string SavedMessage(const std::string& path) {
    return "File saved as " + path;
}

WriteOutcome WriteIpdFile(const std::string& target, const std::vector<std::string>& opened,
                          std::uint64_t total, const ProgressCallback& progress,
                          const std::function<bool(IpdSink&)>& produce) {
    if (Status allowed = RefuseOpenedFile(target, opened); !allowed) {
        return {WriteStatus::Refused, allowed.error()};
    }
    AtomicFile file(target);
    if (Status created = file.open(); !created) {
        return {WriteStatus::Failed, "Cannot write " + target + ": " + created.error()};
    }
    FileSink sink(file, total, progress);
    if (!produce(sink) || !sink.finish()) return {WriteStatus::Cancelled, {}};
    sink.flush();
    if (Status committed = file.commit(); !committed) {
        return {WriteStatus::Failed, "Cannot write " + target + ": " + committed.error()};
    }
    return {WriteStatus::Saved, SavedMessage(target)};
}

}  // namespace orrelin
