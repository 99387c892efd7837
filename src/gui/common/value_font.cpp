#include "gui/common/value_font.h"

#include <QApplication>
#include <QFontDatabase>

namespace orrelin::gui {

QFont ValueFont() {
    static constexpr const char* kFamilies[] = {"Traditional Arabic", "Noto Naskh Arabic",
                                                "Noto Sans Arabic"};
    const QStringList installed = QFontDatabase::families();
    for (const char* family : kFamilies) {
        if (installed.contains(QString::fromLatin1(family), Qt::CaseInsensitive)) {
            QFont font(QString::fromLatin1(family));
            font.setPointSize(12);
            return font;
        }
    }
    QFont font = QApplication::font();
    font.setPointSize(12);
    return font;
}

}  // namespace orrelin::gui
