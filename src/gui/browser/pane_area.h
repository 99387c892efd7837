#pragma once

#include <QPointer>
#include <QScrollArea>
#include <vector>

class QVBoxLayout;

namespace orrelin::gui {

// The right-hand side of the main window: frames (the record panes, the export panel) stacked
// from the top, each hidden until it is shown. A frame that opens is scrolled into view whole
// once the layout has made room for it; of frames that open together (a record's pane and its
// raw fields) the topmost is.
class PaneArea : public QScrollArea {
    Q_OBJECT
  public:
    explicit PaneArea(QWidget* parent);

    // The widget frames are made in.
    QWidget* content() const { return widget(); }
    // Places a frame below the others, hidden.
    void addFrame(QWidget* frame);
    void hideFrames();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void bringOpenedIntoView();
    void bringIntoView(QWidget* frame);

    QVBoxLayout* frameLayout_ = nullptr;
    std::vector<QPointer<QWidget>> frames_;
    // The frames shown since the layout last placed them.
    std::vector<QPointer<QWidget>> opened_;
};

}  // namespace orrelin::gui
