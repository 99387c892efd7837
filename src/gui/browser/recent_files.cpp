#include "gui/browser/recent_files.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "gui/common/platform.h"
#include "gui/common/setting_keys.h"

namespace orrelin::gui {
namespace {

// One file by one name, however it was reached.
QString Absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

RecentFiles::RecentFiles(SettingsStore& settings, QMenu& menu, QObject* parent)
    : QObject(parent), settings_(settings), menu_(menu) {
    for (int n = 1; n <= kMost; ++n) {
        const QString path = settings_.read(RecentFileSetting(n), QString());
        if (!path.isEmpty() && !paths_.contains(path)) paths_ << path;
    }
    fillMenu();
}

void RecentFiles::add(const QString& path) {
    const QString absolute = Absolute(path);
    if (!paths_.isEmpty() && paths_.first() == absolute) return;
    paths_.removeAll(absolute);
    paths_.prepend(absolute);
    while (paths_.size() > kMost)
        paths_.removeLast();
    store();
    fillMenu();
}

void RecentFiles::remove(const QString& path) {
    if (paths_.removeAll(path) == 0) return;
    store();
    fillMenu();
}

void RecentFiles::store() {
    for (int n = 1; n <= kMost; ++n)
        settings_.write(RecentFileSetting(n), n <= paths_.size() ? paths_[n - 1] : QString());
}

void RecentFiles::fillMenu() {
    menu_.clear();
    for (qsizetype i = 0; i < paths_.size(); ++i) {
        const QString path = paths_[i];
        QAction* item = menu_.addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        item->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { Q_EMIT chosen(path); });
    }
    menu_.setEnabled(!paths_.isEmpty());
}

}  // namespace orrelin::gui
