#include "export/render_pool.h"

namespace orrelin {

RenderPool::RenderPool(const ExportHead& head, std::size_t chunks, std::size_t helpers,
                       std::size_t ahead, Render render)
    : chunks_(chunks), ahead_(ahead), render_(std::move(render)), done_(chunks), ready_(chunks, 0) {
    for (std::size_t i = 0; i <= helpers; ++i) {
        auto renderer = std::make_unique<Renderer>();
        renderer->writer = MakeExportWriter(head, renderer->scratch);
        renderers_.push_back(std::move(renderer));
    }
    for (std::size_t i = 1; i <= helpers; ++i) {
        threads_.emplace_back([this, renderer = renderers_[i].get()] { work(*renderer); });
    }
}

RenderPool::~RenderPool() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

bool RenderPool::mayClaim() const {
    return next_ < chunks_ && next_ < writing_ + ahead_;
}

void RenderPool::renderClaimed(std::size_t i, Renderer& renderer,
                               std::unique_lock<std::mutex>& lock) {
    if (!spare_.empty()) {
        renderer.scratch.swap(spare_.back());
        spare_.pop_back();
    }
    lock.unlock();
    render_(i, *renderer.writer);
    lock.lock();
    done_[i] = std::move(renderer.scratch);
    renderer.scratch = std::string();
    ready_[i] = 1;
    changed_.notify_all();
}

bool RenderPool::take(std::size_t i, std::string& bytes) {
    std::unique_lock lock(mutex_);
    if (writing_ != i) {
        writing_ = i;
        changed_.notify_all();  // the window moved on
    }
    if (next_ <= i) {
        next_ = i + 1;
        changed_.notify_all();
        return false;
    }
    // A helper has it: render a later chunk meanwhile, or wait when the window is full.
    while (ready_[i] == 0) {
        if (!mayClaim()) {
            changed_.wait(lock, [&] { return ready_[i] != 0 || mayClaim(); });
            continue;
        }
        renderClaimed(next_++, *renderers_[0], lock);
    }
    bytes = std::move(done_[i]);
    done_[i] = std::string();
    return true;
}

void RenderPool::reuse(std::string&& bytes) {
    bytes.clear();
    std::lock_guard lock(mutex_);
    spare_.push_back(std::move(bytes));
}

void RenderPool::work(Renderer& renderer) {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stop_ || next_ >= chunks_ || mayClaim(); });
        if (stop_ || next_ >= chunks_) return;
        renderClaimed(next_++, renderer, lock);
    }
}

}  // namespace orrelin
