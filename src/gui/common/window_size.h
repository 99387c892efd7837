#pragma once

#include <QSize>

class QWidget;

namespace orrelin::gui {

class SettingsStore;

// The main window's size, kept in the settings store between runs.
class WindowSizeStore {
  public:
    explicit WindowSizeStore(SettingsStore& settings) : settings_(settings) {}

    // The stored size, or the default one when none (or a nonsensical one) is stored.
    QSize stored() const;
    // Gives `window` the stored size, within the screen, and centres it there.
    void restore(QWidget& window) const;
    // Keeps the size of `window` unless it is maximised or full screen.
    void save(const QWidget& window);

    static constexpr QSize kDefault{1120, 760};

  private:
    SettingsStore& settings_;
};

}  // namespace orrelin::gui
