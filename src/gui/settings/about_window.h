#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace orrelin::gui {

// The about window: product name, version and credit lines. Its Close button, a click on its
// background, its frame or the product name, or any key closes it; a click on the edition line
// shows who made the program instead.
class AboutWindow : public QWidget {
    Q_OBJECT
  public:
    static QString VersionText();

    explicit AboutWindow(QWidget* parent = nullptr);

    QLabel* productNameLabel() const { return productNameLabel_; }
    QLabel* versionLabel() const { return versionLabel_; }
    QLabel* editionLine() const { return edition_; }
    QWidget* frame() const { return frame_; }
    QPushButton* closeButton() const { return closeButton_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QWidget* frame_ = nullptr;
    QLabel* productNameLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* edition_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace orrelin::gui
