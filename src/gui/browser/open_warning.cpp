#include "gui/browser/open_warning.h"

#include <QStringList>

namespace orrelin::gui {

QString OpenWarning(const QString& path, const RecordIndex& index) {
    QStringList lines;
    if (index.stop) {
        lines << QStringLiteral("%1: the walk stopped at byte offset %2: %3")
                     .arg(path)
                     .arg(index.stop->offset)
                     .arg(QString::fromStdString(index.stop->reason));
    }
    if (index.databases.empty()) {
        lines << QStringLiteral("%1: the file holds no recognised database").arg(path);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace orrelin::gui
