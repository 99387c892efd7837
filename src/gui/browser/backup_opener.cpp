#include "gui/browser/backup_opener.h"

#include <QFile>

#include "browser/open_backup.h"

namespace orrelin::gui {

BackupOpener::BackupOpener(QObject* parent) : QObject(parent) {
    progressTimer_.setInterval(100);
    connect(&progressTimer_, &QTimer::timeout, this, &BackupOpener::reportProgress);
    connect(&job_, &BackgroundJob::finished, this, &BackupOpener::jobDone);
}

BackupOpener::~BackupOpener() = default;

void BackupOpener::setProgressTiming(int afterMs, int everyMs) {
    progressAfterMs_ = afterMs;
    progressTimer_.setInterval(everyMs);
}

QString BackupOpener::path() const {
    return job_.isBusy() ? path_ : QString();
}

void BackupOpener::open(const QString& path, Databases which) {
    cancel();
    path_ = path;
    outcome_.reset();
    job_.start(
        [path, which](BackgroundJob::Control& control) { return read(path, which, control); });
    clock_.start();
    progressTimer_.start();
}

void BackupOpener::cancel() {
    progressTimer_.stop();
    job_.cancel();
}

void BackupOpener::jobDone() {
    progressTimer_.stop();
    outcome_ = job_.take<Outcome>();
    Q_EMIT finished();
}

BackupOpener::Outcome BackupOpener::takeOutcome() {
    Outcome outcome = outcome_ ? std::move(*outcome_) : Outcome{};
    outcome_.reset();
    return outcome;
}

void BackupOpener::reportProgress() {
    if (!job_.isBusy() || clock_.elapsed() < progressAfterMs_) return;
    const std::uint64_t total = job_.total();
    const std::uint64_t done = job_.done();
    Q_EMIT progressed(path_, total > 0 ? static_cast<int>(done * 100 / total) : -1);
}

BackupOpener::Outcome BackupOpener::read(const QString& path, Databases which,
                                         BackgroundJob::Control& control) {
    Outcome outcome;
    outcome.path = path;
    OpenOptions options;
    options.which = which;
    options.progress = [&control](std::uint64_t done, std::uint64_t total) {
        control.done = done;
        control.total = total;
        return !control.cancelled.load();
    };
    auto opened = OpenBackupFile(QFile::encodeName(path).toStdString(), options);
    if (!opened) {
        outcome.error = QString::fromLocal8Bit(opened.error());
        return outcome;
    }
    for (const std::string& warning : opened->warnings)
        outcome.warnings << path + QStringLiteral(": ") + QString::fromStdString(warning);
    outcome.tree.emplace(std::move(opened->image), std::move(opened->index));
    return outcome;
}

}  // namespace orrelin::gui
