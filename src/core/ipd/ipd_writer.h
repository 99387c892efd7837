#pragma once

// The one way the program writes a new backup: the header, the name-table entries (ipd_bytes.h)
// and the records are appended as bytes to a temporary file in the target folder, which
// replaces the target only once complete. A cancelled or failed write leaves the target as it
// was.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "io/progress.h"
#include "ipd/byte_reader.h"
#include "ipd/ipd_bytes.h"
#include "ipd/ipd_format.h"

namespace orrelin {

enum class WriteStatus { Saved, Cancelled, Refused, Failed };

struct WriteOutcome {
    WriteStatus status = WriteStatus::Saved;
    // "File saved as PATH", the refusal or the failure with its reason; empty when cancelled.
    std::string message;

    bool saved() const { return status == WriteStatus::Saved; }
};

// True when both paths name one existing file (same device and inode, whatever the spelling,
// links included).
bool IsSameFile(const std::string& a, const std::string& b);

// The refusal when `target` is one of the files the program opened (they are never changed).
Status RefuseOpenedFile(const std::string& target, const std::vector<std::string>& opened);

// Where a writer puts its bytes while it runs.
class IpdSink {
  public:
    virtual ~IpdSink() = default;
    // Text the caller may reuse as soon as the call returns.
    virtual void write(std::string_view bytes) = 0;
    // Bytes that stay where they are until the write ends (a backup's image): they may be
    // written from there later instead of being copied now.
    virtual void write(Bytes bytes) = 0;
    // Counts `units` of work done; false once the user cancelled.
    virtual bool advance(std::uint64_t units = 1) = 0;
};

// Runs `produce` over a sink into a temporary file beside `target` and renames it over the
// target when `produce` returns true (false means cancelled: nothing is left behind). `total`
// is the work `produce` will count through advance(); `progress` hears of it now and then.
// The target may not be one of the `opened` files.
WriteOutcome WriteIpdFile(const std::string& target, const std::vector<std::string>& opened,
                          std::uint64_t total, const ProgressCallback& progress,
                          const std::function<bool(IpdSink&)>& produce);

// The confirmation and failure texts shared by every writer.
std::string SavedMessage(const std::string& path);

}  // namespace orrelin
