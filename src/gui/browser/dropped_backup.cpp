#include "gui/browser/dropped_backup.h"

#include <QMimeData>
#include <QUrl>

namespace orrelin::gui {

QString DroppedBackupPath(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QLatin1String(".ipd"), Qt::CaseInsensitive)) {
            return url.toLocalFile();
        }
    }
    return {};
}

}  // namespace orrelin::gui
