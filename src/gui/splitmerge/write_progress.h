#pragma once

#include <QString>

#include "io/progress.h"

class QProgressDialog;
class QWidget;

namespace orrelin::gui {

// A progress dialog for a split or merge: it appears only when the job takes longer than half
// a second, and its Cancel button stops the job. The callback keeps the windows responsive.
class WriteProgress {
  public:
    static constexpr int kShowAfterMs = 500;

    WriteProgress(QWidget* parent, const QString& label);
    ~WriteProgress();
    WriteProgress(const WriteProgress&) = delete;
    WriteProgress& operator=(const WriteProgress&) = delete;

    ProgressCallback callback();
    QProgressDialog& dialog() { return *dialog_; }

  private:
    QProgressDialog* dialog_;
};

}  // namespace orrelin::gui
