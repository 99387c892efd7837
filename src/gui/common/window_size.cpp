#include "gui/common/window_size.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include "gui/common/platform.h"
#include "gui/common/setting_keys.h"

namespace orrelin::gui {
namespace {

constexpr QSize kSmallest{400, 300};

}  // namespace

QSize WindowSizeStore::stored() const {
    const QStringList parts = settings_.read(kWindowSizeSetting, QString()).split(QLatin1Char('x'));
    if (parts.size() != 2) return kDefault;
    bool widthRead = false;
    bool heightRead = false;
    const QSize size(parts[0].toInt(&widthRead), parts[1].toInt(&heightRead));
    if (!widthRead || !heightRead || size.width() < kSmallest.width() ||
        size.height() < kSmallest.height()) {
        return kDefault;
    }
    return size;
}

void WindowSizeStore::restore(QWidget& window) const {
    QSize size = stored();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        window.resize(size);
        return;
    }
    const QRect available = screen->availableGeometry();
    size = size.boundedTo(available.size());
    window.resize(size);
    window.move(available.left() + (available.width() - size.width()) / 2,
                available.top() + (available.height() - size.height()) / 2);
}

void WindowSizeStore::save(const QWidget& window) {
    if (window.isMaximized() || window.isFullScreen()) return;
    settings_.write(kWindowSizeSetting,
                    QStringLiteral("%1x%2").arg(window.width()).arg(window.height()));
}

}  // namespace orrelin::gui
