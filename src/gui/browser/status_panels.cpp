#include "gui/browser/status_panels.h"

#include <QLabel>
#include <QStatusBar>

namespace orrelin::gui {

StatusPanels::StatusPanels(QStatusBar& bar) : bar_(bar) {}

void StatusPanels::clear() {
    for (auto& [key, label] : panels_) {
        bar_.removeWidget(label);
        delete label;
    }
    panels_.clear();
}

void StatusPanels::add(const QString& key, const QString& text) {
    auto* label = new QLabel(text, &bar_);
    label->setObjectName(key);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    bar_.addWidget(label, key == QLatin1String("details") ? 1 : 0);
    panels_.emplace_back(key, label);
}

QStringList StatusPanels::keys() const {
    QStringList keys;
    for (const auto& panel : panels_)
        keys << panel.first;
    return keys;
}

QString StatusPanels::text(const QString& key) const {
    for (const auto& [panelKey, label] : panels_) {
        if (panelKey == key) return label->text();
    }
    return {};
}

void StatusPanels::showMessage(const QString& text) {
    bar_.showMessage(text);
}

void StatusPanels::clearMessage() {
    bar_.clearMessage();
}

}  // namespace orrelin::gui
