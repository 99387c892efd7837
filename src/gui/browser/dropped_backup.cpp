#include "gui/browser/dropped_backup.h"

#include <QMimeData>
#include <QUrl>

namespace orrelin::gui {

QString DroppedBackupPath(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        if (path.endsWith(QLatin1String(".ipd"), Qt::CaseInsensitive) ||
            path.endsWith(QLatin1String(".bbb"), Qt::CaseInsensitive)) {
            return path;
        }
    }
    return {};
}

}  // namespace orrelin::gui
