#pragma once

#include <thread>

namespace orrelin {

// How many processors work may be spread over (0 when unknown, as std::thread has it). A
// WebAssembly build without threads (no -pthread: a page opened from disk cannot share memory
// with workers) cannot start a std::thread, so there everything runs on the calling thread.
inline unsigned UsableCores() {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    return 1;
#else
    return std::thread::hardware_concurrency();
#endif
}

}  // namespace orrelin
