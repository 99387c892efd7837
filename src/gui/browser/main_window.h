#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "browser/backup_tree.h"
#include "decoders/decode_context.h"
#include "gui/common/platform.h"

class QLabel;
class QTreeView;

namespace orrelin::gui {

class BackupOpener;
class BackupTreeModel;
class BackupTreeView;
class DetailPanes;
class ExportPanel;
class FindBar;
class MainMenus;
class PaneArea;
class RecentFiles;
class ServiceBookEditor;
class StatusPanels;
class UnicodeOption;

// The main window: the menus, the tree of the opened backup, the pane of the selected record
// and the status bar. It owns the opened file (tree, path and time-zone text); every other
// window reads records through it. Each of its jobs is done by a part of its own; the window
// ties them to the commands.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(Platform platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    // What the other windows work with.
    Platform& platform() { return platform_; }
    const BackupTree& tree() const;
    BackupTree& tree();
    BackupTreeModel& treeModel() { return *model_; }
    QTreeView& treeView();
    // The opened path ("" before any file was opened).
    const QString& openedPath() const { return openedPath_; }
    std::optional<NodeId> selectedNode() const;
    // The time-zone text with "GMT" replaced by "0"; set at each Open and by the settings
    // window.
    const std::string& timeZoneText() const { return timeZoneText_; }
    // A new time-zone text applies to the open file at once: the shown record and the search
    // follow it.
    void applyTimeZoneText(std::string text);
    // Reads the stored time-zone setting into the time-zone text.
    void refreshTimeZoneText();
    DecodeContext decodeContext() const;
    // The 22 texts the service book pane shows now, by value index.
    std::array<QString, 22> serviceBookTexts() const;

    // Hides every frame on the right: the record panes and the export panel.
    void hidePanes();

    const MainMenus& menus() const { return *menus_; }
    UnicodeOption& unicodeOption() { return *unicode_; }
    // The status bar's note that the shown record holds characters code page 1256 cannot show
    // ("" when there is none).
    QString unicodeNote() const;
    // Status bar panels in order, by key ("main", "details").
    QStringList panelKeys() const;
    QString panelText(const QString& key) const;

    // Opens a file without the dialog (the command line, a dropped file, tests). The file is
    // read in the background; openFinished tells when it is done.
    void openPath(const QString& path);
    bool isOpening() const;
    // Waits, handling events, until no file is being opened.
    void waitForOpen();

    DetailPanes& panes() { return *panes_; }
    FindBar& findBar() { return *findBar_; }
    ExportPanel& exportPanel() { return *exportPanel_; }
    // The about and settings windows while they are open.
    QWidget* aboutWindow() const { return aboutWindow_; }
    QWidget* settingsWindow() const { return settingsWindow_; }

  public Q_SLOTS:
    // File > Open: asks for a file and opens it.
    void openFromDialog();
    void showAbout();
    void showSettings();
    // Manipulate > Export: the export panel opens for the selected record, or says why not.
    void exportRecords();
    void showMergeWindow();
    void showSplitWindow();
    // Service Book > Edit: the editor for the selected entry.
    void editServiceBook();

    // A node was chosen in the tree: shows its record's pane, if any.
    void showNode(orrelin::NodeId node);

  Q_SIGNALS:
    // A file was opened (true) or could not be read (false, the previous file stays).
    void openFinished(bool loaded);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildLayout();
    void connectMenus();
    // The menus as the loaded file and the selection call for.
    void updateMenus();
    // The first step of every Open: close the about and split windows, hide the menus that
    // need a file until the open ends.
    void beginOpenCommand();
    void openDone();
    // File > Open Recent: opens the file, or takes it off the list when it is gone.
    void openRecent(const QString& path);
    // Builds the search index of the open file, which reads the single-byte texts whichever
    // form the window shows.
    void indexForSearch();
    void showOpenProgress(const QString& path, int percent);
    // Options > Show Full Unicode or its code page changed: the tree and the shown record follow.
    void applyTextForm();
    // Says in the status bar whether the node's record holds characters code page 1256 cannot
    // show, while the window shows single-byte text.
    void updateUnicodeNote(std::optional<NodeId> node);
    // Options > Show All Databases: remembers the choice and opens the loaded file again with it.
    void showAllDatabases(bool shown);
    // Options > Show Raw Fields: remembers the choice and shows the selected record again.
    void showRawFields(bool shown);

    Platform platform_;
    DateStyle dateStyle_;
    std::string timeZoneText_;
    QString openedPath_;
    bool rawFields_ = false;

    std::unique_ptr<MainMenus> menus_;
    std::unique_ptr<StatusPanels> status_;
    UnicodeOption* unicode_ = nullptr;
    QLabel* unicodeNote_ = nullptr;
    BackupOpener* opener_ = nullptr;
    RecentFiles* recent_ = nullptr;
    BackupTreeModel* model_ = nullptr;
    BackupTreeView* treeView_ = nullptr;
    FindBar* findBar_ = nullptr;
    PaneArea* paneArea_ = nullptr;
    std::unique_ptr<DetailPanes> panes_;
    ExportPanel* exportPanel_ = nullptr;

    QPointer<QWidget> aboutWindow_;
    QPointer<QWidget> settingsWindow_;
    // The split window, closed by every Open; set by the split command.
    QPointer<QWidget> splitWindow_;
    // The merge window, which outlives Opens and this window.
    QPointer<QWidget> mergeWindow_;
    // The service book editor, kept open across Opens and refilled by each Edit.
    QPointer<ServiceBookEditor> serviceBookEditor_;
};

}  // namespace orrelin::gui
