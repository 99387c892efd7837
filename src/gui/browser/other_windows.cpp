#include "gui/browser/other_windows.h"

#include "gui/browser/main_window.h"
#include "gui/common/raise_window.h"
#include "gui/servicebook/service_book_editor.h"
#include "gui/settings/about_window.h"
#include "gui/settings/settings_window.h"
#include "gui/splitmerge/merge_window.h"
#include "gui/splitmerge/split_window.h"

namespace orrelin::gui {

OtherWindows::~OtherWindows() {
    closeAbout();
}

void OtherWindows::showAbout() {
    if (!about_) about_ = new AboutWindow();
    RaiseWindow(*about_);
}

void OtherWindows::showSettings() {
    if (!settings_) {
        MainWindow& main = main_;
        settings_ = new SettingsWindow(
            main.platform(), [&main](std::string text) { main.applyTimeZoneText(std::move(text)); },
            &main);
    }
    RaiseWindow(*settings_);
}

// The merge window has no parent, so it stays open when the main window closes; it asks for
// the opened path only while the main window exists.
void OtherWindows::showMerge() {
    if (!merge_) {
        QPointer<MainWindow> main(&main_);
        merge_ = new MergeWindow(main_.platform(), main_.tree(),
                                 [main] { return main ? main->openedPath() : QString(); });
    }
    RaiseWindow(*merge_);
}

void OtherWindows::showSplit() {
    if (main_.tree().nodeCount() <= 1) return;
    if (!split_) split_ = new SplitWindow(main_.platform(), main_.tree(), &main_);
    RaiseWindow(*split_);
}

void OtherWindows::editServiceBook(NodeId node) {
    if (!serviceBookEditor_) serviceBookEditor_ = new ServiceBookEditor(main_.platform(), &main_);
    if (!serviceBookEditor_->open(main_.tree(), node, main_.serviceBookTexts())) return;
    RaiseWindow(*serviceBookEditor_);
}

void OtherWindows::closeForOpen() {
    closeAbout();
    if (split_) split_->close();
}

void OtherWindows::closeAbout() {
    if (about_) about_->close();
}

}  // namespace orrelin::gui
