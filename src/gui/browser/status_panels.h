#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class QLabel;
class QStatusBar;

namespace orrelin::gui {

// The status bar's sunken panels, each under a key ("main", "details"), and the passing message
// that shows the progress of an open.
class StatusPanels {
  public:
    explicit StatusPanels(QStatusBar& bar);

    void clear();
    // Adds a panel at the end; the "details" panel takes the spare width.
    void add(const QString& key, const QString& text);
    QStringList keys() const;
    // The text of the panel under `key`, "" when there is none.
    QString text(const QString& key) const;

    void showMessage(const QString& text);
    void clearMessage();

  private:
    QStatusBar& bar_;
    std::vector<std::pair<QString, QLabel*>> panels_;
};

}  // namespace orrelin::gui
