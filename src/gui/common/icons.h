#pragma once

#include <QIcon>

#include "kinds/image_keys.h"

namespace orrelin::gui {

// The tree image of a key, drawn at every size from resources/icons/<key>.svg; a null icon
// for ImageKey::none.
QIcon TreeIcon(ImageKey key);

// The check-state images of the selection trees: "None", "Some", "All".
QIcon CheckStateIcon(const QString& state);

// The program's own icon.
QIcon ApplicationIcon();

}  // namespace orrelin::gui
