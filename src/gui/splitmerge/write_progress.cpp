#include "gui/splitmerge/write_progress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace orrelin::gui {

namespace {
constexpr int kSteps = 1000;
}

WriteProgress::WriteProgress(QWidget* parent, const QString& label)
    : dialog_(new QProgressDialog(label, QStringLiteral("Cancel"), 0, kSteps, parent)) {
    // Modal to the whole program: nothing else may change the trees or close the window while
    // the file is being written.
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(kShowAfterMs);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setValue(0);
}

WriteProgress::~WriteProgress() {
    delete dialog_;
}

ProgressCallback WriteProgress::callback() {
    return [this](std::uint64_t done, std::uint64_t total) {
        const int value = total == 0 ? kSteps : static_cast<int>(done * kSteps / total);
        // Below the maximum until the job is over, so the dialog stays up until then.
        dialog_->setValue(value >= kSteps ? kSteps - 1 : value);
        QCoreApplication::processEvents();
        return !dialog_->wasCanceled();
    };
}

}  // namespace orrelin::gui
