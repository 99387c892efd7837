#pragma once

#include <QFont>

namespace orrelin::gui {

// The font of every value field: "Traditional Arabic" 12 point when installed, else an
// installed Arabic font (Noto Naskh Arabic), else the default font at 12 point.
QFont ValueFont();

}  // namespace orrelin::gui
