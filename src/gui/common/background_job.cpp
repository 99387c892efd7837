#include "gui/common/background_job.h"

#include <QtConcurrent/QtConcurrentRun>
#include <utility>

namespace orrelin::gui {

struct BackgroundJob::Run {
    Control control;
    std::any result;
};

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {}

BackgroundJob::~BackgroundJob() {
    if (run_) run_->control.cancelled = true;
    if (watcher_) watcher_->waitForFinished();
}

std::uint64_t BackgroundJob::done() const {
    return run_ ? run_->control.done.load() : 0;
}

std::uint64_t BackgroundJob::total() const {
    return run_ ? run_->control.total.load() : 0;
}

void BackgroundJob::begin(std::function<std::any(Control&)> work) {
    cancel();
    auto run = std::make_shared<Run>();
    run_ = run;
    result_.reset();
    // The older watcher, if any, was let go by cancel; this one reports the new job alone.
    watcher_ = std::make_unique<QFutureWatcher<void>>();
    connect(watcher_.get(), &QFutureWatcherBase::finished, this, [this, run] { runDone(run); });
    watcher_->setFuture(
        QtConcurrent::run([run, work = std::move(work)] { run->result = work(run->control); }));
}

void BackgroundJob::cancel() {
    if (!run_) return;
    run_->control.cancelled = true;
    run_.reset();
    // The abandoned thread holds nothing of this object; its watcher goes once it has let go.
    if (watcher_) {
        QFutureWatcher<void>* old = watcher_.release();
        old->disconnect(this);
        if (old->isFinished()) {
            old->deleteLater();
        } else {
            connect(old, &QFutureWatcherBase::finished, old, &QObject::deleteLater);
            old->setParent(this);
        }
    }
}

void BackgroundJob::runDone(const std::shared_ptr<Run>& run) {
    if (run != run_) return;  // an older job, overtaken by a newer one
    result_ = std::move(run->result);
    watcher_.release()->deleteLater();
    run_.reset();
    Q_EMIT finished();
}

}  // namespace orrelin::gui
