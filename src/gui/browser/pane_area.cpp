#include "gui/browser/pane_area.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace orrelin::gui {

PaneArea::PaneArea(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("paneArea"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(this);
    frameLayout_ = new QVBoxLayout(content);
    frameLayout_->addStretch(1);
    setWidget(content);
}

void PaneArea::addFrame(QWidget* frame) {
    frame->hide();
    // Frames stack above the closing stretch.
    frameLayout_->insertWidget(frameLayout_->count() - 1, frame);
    frames_.emplace_back(frame);
    frame->installEventFilter(this);
}

void PaneArea::hideFrames() {
    for (const auto& frame : frames_) {
        if (frame) frame->hide();
    }
}

bool PaneArea::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        // The layout places the frame only after this event: look for it then.
        if (opened_.empty()) QTimer::singleShot(0, this, &PaneArea::bringOpenedIntoView);
        opened_.emplace_back(qobject_cast<QWidget*>(watched));
    }
    return QScrollArea::eventFilter(watched, event);
}

void PaneArea::bringOpenedIntoView() {
    std::vector<QPointer<QWidget>> opened;
    opened.swap(opened_);
    // Frames stack in the order they were added: the first one opened is the topmost.
    for (const auto& frame : frames_) {
        if (frame && frame->isVisible() &&
            std::find(opened.begin(), opened.end(), frame) != opened.end()) {
            bringIntoView(frame);
            return;
        }
    }
}

void PaneArea::bringIntoView(QWidget* frame) {
    // The scroll range follows the layout's last request; let it catch up first.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (frame->height() > viewport()->height()) {
        // Too tall to show whole: its top, then.
        verticalScrollBar()->setValue(frame->y());
        return;
    }
    ensureWidgetVisible(frame, 0, 0);
}

}  // namespace orrelin::gui
