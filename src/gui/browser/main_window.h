#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "browser/backup_tree.h"
#include "decoders/decode_context.h"
#include "gui/browser/platform.h"

class QAction;
class QLabel;
class QMenu;
class QModelIndex;
class QTreeView;
class QVBoxLayout;

namespace orrelin::gui {

class BackupTreeModel;
class DetailPanes;
class EditSB;
class ExportToText;

// The main window: the menu bar, the tree of the opened backup, the detail pane of the
// selected record and the status bar. It owns the opened file (tree, image, path and time-zone
// text); every other window reads records through it.
class FrmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit FrmMain(Platform platform, QWidget* parent = nullptr);
    ~FrmMain() override;

    // What the other windows work with.
    Platform& platform() { return platform_; }
    const BackupTree& tree() const;
    BackupTree& tree();
    BackupTreeModel& treeModel() { return *model_; }
    QTreeView& treeView() { return *tvwMain_; }
    // The opened path ("" before any file was opened).
    const QString& openedPath() const { return openedPath_; }
    std::optional<NodeId> selectedNode() const;
    // The time-zone text with "GMT" replaced by "0"; set at each Open and when the settings
    // window loads.
    const std::string& timeZoneText() const { return timeZoneText_; }
    void setTimeZoneText(std::string text) { timeZoneText_ = std::move(text); }
    // Reads the stored time-zone setting into the time-zone text.
    void refreshTimeZoneText();
    DecodeContext decodeContext() const;
    // The 22 texts the service book pane shows now, hrtnet(0) to hrtnet(21).
    std::array<QString, 22> serviceBookTexts() const;

    // Frames on the right-hand side (the detail panes, the export panel) are all hidden by
    // ResetPanes. addFrame places a frame there, hidden, and registers it.
    void addFrame(QWidget* frame);
    void ResetPanes();

    // The menu items, by the names the handlers use.
    QAction* mFile() const { return mFile_; }
    QAction* mOpen() const { return mOpen_; }
    QAction* mExit() const { return mExit_; }
    QAction* mservicebook() const { return mservicebook_; }
    QAction* mEdit() const { return mEdit_; }
    QAction* mManipulate() const { return mManipulate_; }
    QAction* mExport() const { return mExport_; }
    QAction* mMerge() const { return mMerge_; }
    QAction* mSplit() const { return mSplit_; }
    QAction* options() const { return options_; }
    QAction* settingsItem() const { return settings_; }
    QAction* mAbout() const { return mAbout_; }

    // Status bar panels in order, by key ("main", "details").
    QStringList panelKeys() const;
    QString panelText(const QString& key) const;

    // Opens a file without the dialog (the command line, a dropped file, tests). The file is
    // read in the background; openFinished tells when it is done.
    void openPath(const QString& path);
    bool isOpening() const { return job_ != nullptr; }
    // Waits, handling events, until no file is being opened.
    void waitForOpen();

    DetailPanes& panes() { return *panes_; }
    ExportToText& exportPanel() { return *exportPanel_; }
    // The about window while it is open.
    QWidget* splashWindow() const { return splash_; }
    QWidget* optionsWindow() const { return optionsWindow_; }

  public Q_SLOTS:
    void mOpen_Click();
    void mExit_Click();
    void mAbout_Click();
    void Settings_Click();
    // Handed over to the export panel, the split and merge windows and the service book
    // editor.
    void mExport_Click();
    void mMerge_Click();
    void mSplit_Click();
    void mEdit_Click();

    // A node was clicked or selected with the keyboard.
    void nodeSelected(NodeId node);

  Q_SIGNALS:
    // A file was opened (true) or could not be read (false, the previous file stays).
    void openFinished(bool loaded);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct OpenResult;
    struct OpenJob;
    void buildMenus();
    void buildTree();
    void clearPanels();
    void addPanel(const QString& key, const QString& text);
    // The first step of every Open: close the about and split windows, hide the menus that
    // need a file.
    void beginOpenCommand();
    void startOpen(const QString& path);
    void finishOpen(const std::shared_ptr<OpenJob>& job, const std::shared_ptr<OpenResult>& result);
    void showProgress();
    void stopWorker();
    void restoreSizeFromStore();
    void currentChanged(const QModelIndex& current);
    void clicked(const QModelIndex& index);

    Platform platform_;
    DateStyle dateStyle_;
    std::string timeZoneText_;
    QString openedPath_;

    BackupTreeModel* model_ = nullptr;
    QTreeView* tvwMain_ = nullptr;
    DetailPanes* panes_ = nullptr;
    ExportToText* exportPanel_ = nullptr;
    QVBoxLayout* frameLayout_ = nullptr;
    std::vector<QPointer<QWidget>> frames_;
    std::vector<std::pair<QString, QLabel*>> panels_;
    // Set when the current node changed during the present mouse press, so the click that
    // ends the press does not handle the node a second time.
    bool changedDuringPress_ = false;

    QAction* mFile_ = nullptr;
    QAction* mOpen_ = nullptr;
    QAction* mExit_ = nullptr;
    QAction* mservicebook_ = nullptr;
    QAction* mEdit_ = nullptr;
    QAction* mManipulate_ = nullptr;
    QAction* mExport_ = nullptr;
    QAction* mMerge_ = nullptr;
    QAction* mSplit_ = nullptr;
    QAction* options_ = nullptr;
    QAction* settings_ = nullptr;
    QAction* mAbout_ = nullptr;

    QPointer<QWidget> splash_;
    QPointer<QWidget> optionsWindow_;
    // The split window, closed by every Open; set by the split command.
    QPointer<QWidget> splitWindow_;
    // The merge window, which outlives Opens and this window.
    QPointer<QWidget> mergeWindow_;
    // The service book editor, kept open across Opens and refilled by each Edit.
    QPointer<EditSB> editSB_;

    // Opening in the background: one worker at a time; a newer Open cancels the older one.
    std::thread worker_;
    std::shared_ptr<OpenJob> job_;
    QElapsedTimer openClock_;
    QTimer progressTimer_;
};

}  // namespace orrelin::gui
