#include "gui/browser/icons.h"

namespace orrelin::gui {

QIcon TreeIcon(ImageKey key) {
    auto name = ImageKeyName(key);
    if (name.empty()) return {};
    return QIcon(QStringLiteral(":/icons/") +
                 QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) +
                 QStringLiteral(".svg"));
}

QIcon CheckStateIcon(const QString& state) {
    return QIcon(QStringLiteral(":/icons/check-") + state.toLower() + QStringLiteral(".svg"));
}

QIcon ApplicationIcon() {
    return QIcon(QStringLiteral(":/icons/orrelin.svg"));
}

}  // namespace orrelin::gui
