#pragma once

// The core headers come before Qt's, whose keyword macros would otherwise reach them.
#include "browser/backup_tree.h"
#include "gui/common/background_job.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>

namespace orrelin::gui {

// Reads and indexes a backup on a pool thread (a BackgroundJob), one file at a time: a newer
// open, or cancel(), abandons the older one, whose result is then dropped; an archive's
// unpacking and the walk both stop within moments. Everything it reports arrives on the thread
// it lives on.
class BackupOpener : public QObject {
    Q_OBJECT
  public:
    // What an open hands back: the tree, or why the file could not be read.
    struct Outcome {
        QString path;
        std::optional<BackupTree> tree;
        QString error;
        // What the user should hear about a file that opened (an archive's warnings), each a
        // line naming the file.
        QStringList warnings;
    };

    explicit BackupOpener(QObject* parent = nullptr);
    // Cancels a running open and waits for its thread to let go.
    ~BackupOpener() override;

    // With Databases::All the databases the program does not decode are nodes too.
    void open(const QString& path, Databases which = Databases::Decoded);
    // Stops the running open; it reports nothing.
    void cancel();
    bool isBusy() const { return job_.isBusy(); }
    // The file being opened ("" when idle).
    QString path() const;
    // The outcome of the open that `finished` reported; taken once.
    Outcome takeOutcome();

    // How long an open runs before its progress is reported, and how often after that.
    void setProgressTiming(int afterMs, int everyMs);

  Q_SIGNALS:
    // An open ended; takeOutcome tells how.
    void finished();
    // The running open has walked `percent` of its file (-1 while the file is still read).
    void progressed(const QString& path, int percent);

  private:
    // Runs on a pool thread: reads the file whole and walks it, checking `control` for a cancel.
    static Outcome read(const QString& path, Databases which, BackgroundJob::Control& control);
    void jobDone();
    void reportProgress();

    BackgroundJob job_;
    QString path_;  // of the running open
    std::optional<Outcome> outcome_;
    QElapsedTimer clock_;
    QTimer progressTimer_;
    int progressAfterMs_ = 500;
};

}  // namespace orrelin::gui
