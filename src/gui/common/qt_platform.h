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
    QString saveFile(QWidget* parent, const QString& filter, const QString& folder) override;
};

// Qt's settings in the INI file the command line reads ($XDG_CONFIG_HOME/orrelin_beta.conf,
// %LOCALAPPDATA%\orrelin_beta.conf on Windows). Earlier versions of the window kept them in
// Qt's own place for "orrelin_beta" ($XDG_CONFIG_HOME/orrelin_beta.ini): while the file is
// absent, the entries of that one are copied into it once. Without a settings folder in the
// environment, the older file is the store.
class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore();
    // The store in `path`, filled from `olderPath` when `path` does not exist yet.
    QtSettingsStore(const QString& path, const QString& olderPath);

    const QString& path() const { return path_; }
    QString read(const QString& key, const QString& fallback) override;
    void write(const QString& key, const QString& value) override;

  private:
    QString path_;
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
