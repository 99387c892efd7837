#pragma once

#include <QPointer>
#include <QWidget>

#include "browser/backup_tree.h"

namespace orrelin::gui {

class MainWindow;
class ServiceBookEditor;

// The windows the main window's commands open: about, settings, split, merge and the service
// book editor. Each is made when first asked for and raised when asked for again.
class OtherWindows {
  public:
    explicit OtherWindows(MainWindow& main) : main_(main) {}
    ~OtherWindows();
    OtherWindows(const OtherWindows&) = delete;
    OtherWindows& operator=(const OtherWindows&) = delete;

    void showAbout();
    void showSettings();
    void showMerge();
    // Nothing without a loaded file.
    void showSplit();
    // The editor for a service book entry, refilled by each call.
    void editServiceBook(NodeId node);
    // Every Open and closing the main window close the about window; an Open closes the split
    // window too, so that its tree always belongs to the loaded file.
    void closeForOpen();
    void closeAbout();

    QWidget* about() const { return about_; }
    QWidget* settings() const { return settings_; }

  private:
    MainWindow& main_;
    QPointer<QWidget> about_;
    QPointer<QWidget> settings_;
    QPointer<QWidget> split_;
    // The merge window, which outlives Opens and the main window.
    QPointer<QWidget> merge_;
    // Kept open across Opens.
    QPointer<ServiceBookEditor> serviceBookEditor_;
};

}  // namespace orrelin::gui
