#pragma once

#include <QWidget>

class QLabel;

namespace orrelin::gui {

// The about window: product name, version and credit lines. A click on its background, its
// frame or the product name, or any key, closes it; a click on the edition line shows who made
// the program instead.
class FrmSplash : public QWidget {
    Q_OBJECT
  public:
    static QString VersionText();

    explicit FrmSplash(QWidget* parent = nullptr);

    QLabel* lblProductName() const { return lblProductName_; }
    QLabel* lblVersion() const { return lblVersion_; }
    QLabel* editionLine() const { return edition_; }
    QWidget* frame() const { return frame_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QWidget* frame_ = nullptr;
    QLabel* lblProductName_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* edition_ = nullptr;
};

}  // namespace orrelin::gui
