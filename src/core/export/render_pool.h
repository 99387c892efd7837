#pragma once

// The threads a large export renders on: the chunks of a run are rendered on every core, each
// into a buffer of its own, and handed to the writing thread in order, so the file is the same
// as from one thread.

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "export/export_writer.h"

namespace orrelin {

class RenderPool {
  public:
    // Renders chunk `i` through `writer`, whose output goes to the buffer the chunk is rendered
    // into.
    using Render = std::function<void(std::size_t i, ExportWriter& writer)>;

    // `helpers` threads, each with a writer of the head's format made here (on the engine's
    // thread), render chunks 0 to chunks - 1, each the next one nobody has taken, at most
    // `ahead` chunks past the one the writing thread is at.
    RenderPool(const ExportHead& head, std::size_t chunks, std::size_t helpers, std::size_t ahead,
               Render render);
    ~RenderPool();
    RenderPool(const RenderPool&) = delete;
    RenderPool& operator=(const RenderPool&) = delete;

    // Chunk `i`, the next in order, for the writing thread: true with its bytes in `bytes` once
    // it is rendered (the writing thread renders later chunks meanwhile rather than wait);
    // false when nobody had taken it, which the caller then renders itself. Hand `bytes` back
    // with reuse() when done with them.
    bool take(std::size_t i, std::string& bytes);
    // A buffer whose room serves a later chunk.
    void reuse(std::string&& bytes);

  private:
    struct Renderer {
        std::string scratch;
        std::unique_ptr<ExportWriter> writer;
    };

    void work(Renderer& renderer);
    // Renders the chunk claimed as `i` on the calling thread; the lock is held on entry and exit.
    void renderClaimed(std::size_t i, Renderer& renderer, std::unique_lock<std::mutex>& lock);
    bool mayClaim() const;

    const std::size_t chunks_;
    const std::size_t ahead_;
    Render render_;
    std::vector<std::unique_ptr<Renderer>> renderers_;  // [0] is the writing thread's
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;     // the first chunk nobody has taken
    std::size_t writing_ = 0;  // the chunk the writing thread is at
    std::vector<std::string> done_;
    std::vector<char> ready_;
    std::vector<std::string> spare_;
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace orrelin
