#pragma once

class QAction;
class QMenu;
class QMenuBar;

namespace orrelin::gui {

// The main window's menu bar: its menus and items, and which of them show. Commands are
// connected by the window.
class MainMenus {
  public:
    explicit MainMenus(QMenuBar& bar);

    // Export, Merge and Split under Manipulate: shown while a file with databases is loaded.
    void showFileCommands(bool shown);
    // The Service Book menu: shown while a service book entry is selected.
    void showServiceBookMenu(bool shown);

    QAction* fileMenu = nullptr;
    QAction* open = nullptr;
    // File > Open Recent, filled by the window's recent files.
    QMenu* recentFiles = nullptr;
    QAction* exit = nullptr;
    QAction* serviceBookMenu = nullptr;
    QAction* editServiceBook = nullptr;
    QAction* manipulateMenu = nullptr;
    QAction* exportRecords = nullptr;
    QAction* merge = nullptr;
    QAction* split = nullptr;
    QAction* optionsMenu = nullptr;
    QAction* settings = nullptr;
    // Checkable: the tree shows the databases the program does not decode too.
    QAction* showAllDatabases = nullptr;
    // Checkable: a decoded record's raw fields show below its pane.
    QAction* showRawFields = nullptr;
    QAction* about = nullptr;
};

}  // namespace orrelin::gui
