#include "gui/browser/open_warning.h"

#include <QStringList>

#include "ipd/loader.h"

namespace orrelin::gui {

QString OpenWarning(const QString& path, const RecordIndex& index) {
    QStringList lines;
    if (index.stop) {
        lines << QString::fromStdString(WalkStopWarning(path.toStdString(), *index.stop));
    }
    if (index.databases.empty()) {
        lines << QStringLiteral("%1: the file holds no recognised database").arg(path);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace orrelin::gui
