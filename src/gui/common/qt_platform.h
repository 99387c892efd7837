#pragma once

// The desktop's own message boxes, file dialogs and settings store behind the window-side
// interfaces.

#include "gui/common/platform.h"

namespace orrelin::gui {

class QtMessageBoxes : public MessageBoxes {
  public:
    void show(QWidget* parent, MessageIcon icon, const QString& title,
              const QString& text) override;
};

class QtFileDialogs : public FileDialogs {
  public:
    QString openFile(QWidget* parent, const QString& filter) override;

  protected:
    QString askSaveFile(QWidget* parent, const QString& filter, const QString& folder,
                        const QString& suffix) override;
};

// The per-user INI file named after the application ("orrelin_beta" gives
// $XDG_CONFIG_HOME/orrelin_beta.conf), the file the command line reads as well.
class QtSettingsStore : public SettingsStore {
  public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& fallback) override;
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;
};

// The three desktop services, living as long as the program.
class QtPlatform {
  public:
    QtPlatform();
    Platform& platform() { return platform_; }

  private:
    QtMessageBoxes messages_;
    QtFileDialogs files_;
    QtSettingsStore settings_;
    Platform platform_;
};

}  // namespace orrelin::gui
