#pragma once

// What the windows ask of the desktop, behind small interfaces: message boxes, file dialogs and
// the per-user settings store. The program uses the Qt implementations; tests put fakes in
// their place so that no modal box ever blocks an offscreen run.

#include <QFileInfo>
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
    // such as "IPD Files (*.ipd)".
    virtual QString openFile(QWidget* parent, const QString& filter) = 0;
    // The same for a file to write, asked in a dialog that starts in `folder`. A name chosen
    // without an extension gets ".`suffix`" ("split1" is written as "split1.ipd"); one with an
    // extension keeps it.
    QString saveFile(QWidget* parent, const QString& filter, const QString& folder,
                     const QString& suffix) {
        return WithSuffix(askSaveFile(parent, filter, folder, suffix), suffix);
    }

    // `path` with ".`suffix`" added when its file name has no dot; "" stays "".
    static QString WithSuffix(const QString& path, const QString& suffix) {
        if (path.isEmpty() || suffix.isEmpty() ||
            QFileInfo(path).fileName().contains(QLatin1Char('.')))
            return path;
        return path + QLatin1Char('.') + suffix;
    }

  protected:
    // The dialog itself. It may add the suffix on its own, so that what it asks before
    // replacing a file is asked of the name that is written.
    virtual QString askSaveFile(QWidget* parent, const QString& filter, const QString& folder,
                                const QString& suffix) = 0;
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
