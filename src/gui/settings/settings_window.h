#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "gui/common/platform.h"

class QComboBox;
class QPushButton;

namespace orrelin::gui {

// The settings window: the number of hours added to every time shown, kept in the settings file
// under "TZ" / "tzd". Loading it and saving a new choice give the program's time-zone text to
// `applyTimeZone`, so the open file's times follow at once.
class SettingsWindow : public QWidget {
    Q_OBJECT
  public:
    // The 23 choices, in their order in the list.
    static const QStringList& Choices();

    SettingsWindow(Platform& platform, std::function<void(std::string)> applyTimeZone,
                   QWidget* parent = nullptr);

    QComboBox* timeZoneChoice() const { return timeZoneChoice_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

  public Q_SLOTS:
    void acceptClicked();
    void cancelClicked();

  private:
    Platform& platform_;
    std::function<void(std::string)> applyTimeZone_;
    QComboBox* timeZoneChoice_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace orrelin::gui
