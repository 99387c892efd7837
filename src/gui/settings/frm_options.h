#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "gui/browser/platform.h"

class QComboBox;
class QPushButton;

namespace orrelin::gui {

// The settings window: the number of hours added to every time shown, kept in the per-user
// store under "orrelin_beta" / "TZ" / "tzd". Loading it refreshes the program's time-zone text
// (through `setTimeZoneText`); saving does not: a new value counts from the next Open.
class FrmOptions : public QWidget {
    Q_OBJECT
  public:
    // The 23 choices, in their order in the list.
    static const QStringList& Choices();

    FrmOptions(Platform& platform, std::function<void(std::string)> setTimeZoneText,
               QWidget* parent = nullptr);

    QComboBox* tzd() const { return tzd_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

  public Q_SLOTS:
    void cmdOK_Click();
    void cmdCancel_Click();

  private:
    Platform& platform_;
    QComboBox* tzd_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace orrelin::gui
