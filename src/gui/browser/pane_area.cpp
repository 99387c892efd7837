#include "gui/browser/pane_area.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

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
        QPointer<QWidget> frame(qobject_cast<QWidget*>(watched));
        QTimer::singleShot(0, this, [this, frame] {
            if (frame && frame->isVisible()) bringIntoView(frame);
        });
    }
    return QScrollArea::eventFilter(watched, event);
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
