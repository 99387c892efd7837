#include "gui/common/icons.h"

// The images are compiled into the static library, whose resource registration the linker
// would drop unless something refers to it.
static void RegisterImages() {
    Q_INIT_RESOURCE(orrelin);
}

namespace orrelin::gui {
namespace {

QIcon ResourceIcon(const QString& path) {
    static const bool registered = (RegisterImages(), true);
    (void)registered;
    return QIcon(path);
}

}  // namespace

QIcon TreeIcon(ImageKey key) {
    auto name = ImageKeyName(key);
    if (name.empty()) return {};
    return ResourceIcon(QStringLiteral(":/icons/") +
                        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) +
                        QStringLiteral(".svg"));
}

QIcon CheckStateIcon(const QString& state) {
    return ResourceIcon(QStringLiteral(":/icons/check-") + state.toLower() +
                        QStringLiteral(".svg"));
}

QIcon ApplicationIcon() {
    return QIcon(QStringLiteral(":/icons/orrelin.svg"));
}

}  // namespace orrelin::gui
