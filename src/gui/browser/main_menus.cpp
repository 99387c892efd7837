#include "gui/browser/main_menus.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace orrelin::gui {

MainMenus::MainMenus(QMenuBar& bar) {
    QMenu* file = bar.addMenu(QStringLiteral("&File"));
    fileMenu = file->menuAction();
    open = file->addAction(QStringLiteral("&Open"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    recentFiles = file->addMenu(QStringLiteral("Open &Recent"));
    recentFiles->setObjectName(QStringLiteral("recentFilesMenu"));
    file->addSeparator();
    exit = file->addAction(QStringLiteral("E&xit"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* serviceBook = bar.addMenu(QStringLiteral("&Service Book"));
    serviceBookMenu = serviceBook->menuAction();
    editServiceBook = serviceBook->addAction(QStringLiteral("&Edit"));

    QMenu* manipulate = bar.addMenu(QStringLiteral("&Manipulate"));
    manipulateMenu = manipulate->menuAction();
    exportRecords = manipulate->addAction(QStringLiteral("Ex&port"));
    merge = manipulate->addAction(QStringLiteral("Mer&ge"));
    split = manipulate->addAction(QStringLiteral("Sp&lit"));

    QMenu* optionsItems = bar.addMenu(QStringLiteral("Op&tions"));
    optionsMenu = optionsItems->menuAction();
    settings = optionsItems->addAction(QStringLiteral("Settings"));
    showAllDatabases = optionsItems->addAction(QStringLiteral("Show All Databases"));
    showAllDatabases->setCheckable(true);
    showRawFields = optionsItems->addAction(QStringLiteral("Show Raw Fields"));
    showRawFields->setCheckable(true);

    about = bar.addAction(QStringLiteral("&About"));

    const std::pair<QAction*, const char*> names[] = {{fileMenu, "fileMenu"},
                                                      {open, "openAction"},
                                                      {exit, "exitAction"},
                                                      {serviceBookMenu, "serviceBookMenu"},
                                                      {editServiceBook, "editServiceBookAction"},
                                                      {manipulateMenu, "manipulateMenu"},
                                                      {exportRecords, "exportAction"},
                                                      {merge, "mergeAction"},
                                                      {split, "splitAction"},
                                                      {optionsMenu, "optionsMenu"},
                                                      {settings, "settingsAction"},
                                                      {showAllDatabases, "showAllDatabasesAction"},
                                                      {showRawFields, "showRawFieldsAction"},
                                                      {about, "aboutAction"}};
    for (const auto& [action, name] : names)
        action->setObjectName(QString::fromLatin1(name));
}

void MainMenus::showFileCommands(bool shown) {
    manipulateMenu->setVisible(shown);
    exportRecords->setVisible(shown);
    split->setVisible(shown);
}

void MainMenus::showServiceBookMenu(bool shown) {
    serviceBookMenu->setVisible(shown);
}

}  // namespace orrelin::gui
