#pragma once

#include <cstdint>
#include <functional>

namespace orrelin {

// Long jobs (opening, exporting, splitting, merging) report how far they are and ask whether to
// go on: the callback gets the work done and the whole, and returns false to cancel.
using ProgressCallback = std::function<bool(std::uint64_t done, std::uint64_t total)>;

}  // namespace orrelin
