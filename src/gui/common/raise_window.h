#pragma once

#include <QWidget>

namespace orrelin::gui {

// Shows a window in front of the others, with the focus.
inline void RaiseWindow(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace orrelin::gui
