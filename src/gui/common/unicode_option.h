#pragma once

#include <QObject>
#include <array>

#include "decoders/decode_context.h"
#include "gui/common/platform.h"

class QAction;
class QMenu;

namespace orrelin::gui {

// Options > Show Full Unicode and Options > Code Page: whether the window shows texts in full
// Unicode instead of reduced to code page 1256, and the page 8-bit texts are then read in (the
// pages the JSON export knows, 1252 by default). Both are remembered in the settings store.
class UnicodeOption : public QObject {
    Q_OBJECT
  public:
    UnicodeOption(SettingsStore& settings, QMenu& optionsMenu, QObject* parent);

    bool on() const;
    // The text form in force: single-byte text while the option is off.
    TextOptions textOptions() const;

    QAction* showAction() const { return show_; }
    QMenu* codePageMenu() const { return codePages_; }

  Q_SIGNALS:
    // The option or its code page was changed from the menu.
    void changed();

  private:
    void store();

    SettingsStore& settings_;
    QAction* show_ = nullptr;
    QMenu* codePages_ = nullptr;
    std::array<QAction*, kCodePageNames.size()> pageActions_{};
};

}  // namespace orrelin::gui
