#pragma once

// What the windows ask of the desktop, behind small interfaces: message boxes, file dialogs and
// the per-user settings store. The program uses the Qt implementations; tests put fakes in
// their place so that no modal box ever blocks an offscreen run.

#include <QString>

class QWidget;

namespace orrelin::gui {

// The open dialogs' filter: every backup the program reads.
inline const QString kBackupFilter = QStringLiteral("BlackBerry backups (*.ipd *.bbb)");

enum class MessageIcon { None, Information, Warning, Critical };

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Shows a box with an OK button and waits until it is closed.
    virtual void show(QWidget* parent, MessageIcon icon, const QString& title,
                      const QString& text) = 0;
};

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // The chosen path, or an empty text when the user cancelled. `filter` is a Qt name filter
    // such as "IPD Files (*.ipd)"; a save dialog starts in `folder`.
    virtual QString openFile(QWidget* parent, const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& filter, const QString& folder) = 0;
};

// The settings file, entry by entry; `key` is one of gui/common/setting_keys.h.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString& key, const QString& fallback) = 0;
    virtual void write(const QString& key, const QString& value) = 0;
};

// The services every window is given.
struct Platform {
    MessageBoxes& messages;
    FileDialogs& files;
    SettingsStore& settings;
};

// The application's default title for message boxes.
inline const QString kApplicationTitle = QStringLiteral("Orrelin");

}  // namespace orrelin::gui
