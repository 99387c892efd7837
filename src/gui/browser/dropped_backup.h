#pragma once

#include <QString>

class QMimeData;

namespace orrelin::gui {

// The first local .ipd or .bbb file of a drag or a drop, or "" when it carries none.
QString DroppedBackupPath(const QMimeData* data);

}  // namespace orrelin::gui
