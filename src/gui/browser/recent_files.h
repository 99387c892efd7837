#pragma once

#include <QObject>
#include <QStringList>

class QMenu;

namespace orrelin::gui {

class SettingsStore;

// File > Open Recent: the files opened last, newest first, at most five, kept in the settings
// file. The menu holds one item per file ("&1 /path/to/file.ipd"), and is disabled while the
// list is empty; choosing an item emits `chosen`.
class RecentFiles : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMost = 5;

    RecentFiles(SettingsStore& settings, QMenu& menu, QObject* parent);

    const QStringList& paths() const { return paths_; }
    // Puts the file first, taking it from further down the list; the sixth file goes.
    void add(const QString& path);
    void remove(const QString& path);

  Q_SIGNALS:
    void chosen(const QString& path);

  private:
    void store();
    void fillMenu();

    SettingsStore& settings_;
    QMenu& menu_;
    QStringList paths_;
};

}  // namespace orrelin::gui
