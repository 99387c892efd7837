#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <any>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace orrelin::gui {

// One job at a time on a pool thread, which can be abandoned: a newer start, or cancel(), sets
// the running job's `cancelled` and drops its result, without waiting for its thread (which
// stops at its next check, holding its own share of what it reads). `finished` arrives on the
// thread the object lives on, for the job last started alone.
class BackgroundJob : public QObject {
    Q_OBJECT
  public:
    // What the job's thread and the window share while it runs.
    struct Control {
        std::atomic<bool> cancelled{false};
        std::atomic<std::uint64_t> done{0};
        std::atomic<std::uint64_t> total{0};
    };

    explicit BackgroundJob(QObject* parent = nullptr);
    // Cancels a running job and waits for its thread to let go.
    ~BackgroundJob() override;

    // Runs `work(Control&)` on a pool thread; its result (of a copyable type) waits for take().
    template <typename Work>
    void start(Work work) {
        begin([work = std::move(work)](Control& control) { return std::any(work(control)); });
    }
    // Abandons the running job, if any; it reports nothing.
    void cancel();
    bool isBusy() const { return run_ != nullptr; }
    // The running job's progress as it states it (0 when idle).
    std::uint64_t done() const;
    std::uint64_t total() const;
    // The result of the job `finished` reported, taken once (T as `work` returned it).
    template <typename T>
    T take() {
        std::any result = std::exchange(result_, std::any());
        return std::any_cast<T>(std::move(result));
    }

  Q_SIGNALS:
    void finished();

  private:
    struct Run;
    void begin(std::function<std::any(Control&)> work);
    void runDone(const std::shared_ptr<Run>& run);

    std::shared_ptr<Run> run_;
    std::unique_ptr<QFutureWatcher<void>> watcher_;
    std::any result_;
};

}  // namespace orrelin::gui
