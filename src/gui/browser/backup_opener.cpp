#include "gui/browser/backup_opener.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>

#include "browser/open_backup.h"

namespace orrelin::gui {

struct BackupOpener::Job {
    QString path;
    Databases which = Databases::Decoded;
    std::atomic<bool> cancelled{false};
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{0};
};

BackupOpener::BackupOpener(QObject* parent) : QObject(parent) {
    progressTimer_.setInterval(100);
    connect(&progressTimer_, &QTimer::timeout, this, &BackupOpener::reportProgress);
}

BackupOpener::~BackupOpener() {
    if (job_) job_->cancelled = true;
    if (watcher_) watcher_->waitForFinished();
}

void BackupOpener::setProgressTiming(int afterMs, int everyMs) {
    progressAfterMs_ = afterMs;
    progressTimer_.setInterval(everyMs);
}

QString BackupOpener::path() const {
    return job_ ? job_->path : QString();
}

void BackupOpener::open(const QString& path, Databases which) {
    cancel();
    auto job = std::make_shared<Job>();
    job->path = path;
    job->which = which;
    job_ = job;
    outcome_.reset();
    // The older watcher, if any, was let go by cancel; this one reports the new job alone.
    watcher_ = std::make_unique<QFutureWatcher<Outcome>>();
    connect(watcher_.get(), &QFutureWatcher<Outcome>::finished, this,
            [this, job] { jobDone(job); });
    watcher_->setFuture(QtConcurrent::run([job] { return read(job); }));
    clock_.start();
    progressTimer_.start();
}

void BackupOpener::cancel() {
    progressTimer_.stop();
    if (!job_) return;
    job_->cancelled = true;
    job_.reset();
    // The cancelled walk stops at its next check; its thread holds nothing of this object, so
    // the window need not wait for it. Its watcher goes once the thread has let go.
    if (watcher_) {
        QFutureWatcher<Outcome>* old = watcher_.release();
        old->disconnect(this);
        if (old->isFinished()) {
            old->deleteLater();
        } else {
            connect(old, &QFutureWatcher<Outcome>::finished, old, &QObject::deleteLater);
            old->setParent(this);
        }
    }
}

void BackupOpener::jobDone(const std::shared_ptr<Job>& job) {
    if (job != job_) return;  // an older open, overtaken by a newer one
    progressTimer_.stop();
    // A copy shares the read file with the result it copies; the watcher then goes.
    outcome_ = watcher_->result();
    watcher_.release()->deleteLater();
    job_.reset();
    Q_EMIT finished();
}

BackupOpener::Outcome BackupOpener::takeOutcome() {
    Outcome outcome = outcome_ ? std::move(*outcome_) : Outcome{};
    outcome_.reset();
    return outcome;
}

void BackupOpener::reportProgress() {
    if (!job_ || clock_.elapsed() < progressAfterMs_) return;
    const std::uint64_t total = job_->total;
    const std::uint64_t done = job_->done;
    Q_EMIT progressed(job_->path, total > 0 ? static_cast<int>(done * 100 / total) : -1);
}

BackupOpener::Outcome BackupOpener::read(const std::shared_ptr<Job>& job) {
    Outcome outcome;
    outcome.path = job->path;
    OpenOptions options;
    options.which = job->which;
    options.progress = [&job](std::uint64_t done, std::uint64_t total) {
        job->done = done;
        job->total = total;
        return !job->cancelled.load();
    };
    auto opened = OpenBackupFile(QFile::encodeName(job->path).toStdString(), options);
    if (!opened) {
        outcome.error = QString::fromLocal8Bit(opened.error());
        return outcome;
    }
    for (const std::string& warning : opened->warnings)
        outcome.warnings << job->path + QStringLiteral(": ") + QString::fromStdString(warning);
    outcome.tree.emplace(std::move(opened->image), std::move(opened->index));
    return outcome;
}

}  // namespace orrelin::gui
