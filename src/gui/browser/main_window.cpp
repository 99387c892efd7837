#include "gui/browser/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "browser/tree_keys.h"
#include "decoders/time_format.h"
#include "gui/browser/backup_opener.h"
#include "gui/browser/backup_tree_view.h"
#include "gui/browser/detail_panes.h"
#include "gui/browser/dropped_backup.h"
#include "gui/browser/find_bar.h"
#include "gui/browser/main_menus.h"
#include "gui/browser/open_warning.h"
#include "gui/browser/other_windows.h"
#include "gui/browser/pane_area.h"
#include "gui/browser/recent_files.h"
#include "gui/browser/status_panels.h"
#include "gui/browser/tree_model.h"
#include "gui/common/all_databases_option.h"
#include "gui/common/icons.h"
#include "gui/common/setting_keys.h"
#include "gui/common/unicode_option.h"
#include "gui/common/window_size.h"
#include "gui/export/export_panel.h"
#include "kinds/decode_any.h"

namespace orrelin::gui {
namespace {

const QString kTitle = QStringLiteral("Orrelin IPD Reader");
const QString kPrompt = QStringLiteral("Please open IPD file from File menu");
const QString kMainPanel = QStringLiteral("main");
const QString kDetailsPanel = QStringLiteral("details");
// The shown record holds characters code page 1256 cannot show.
const QString kUnicodeNote =
    QStringLiteral("Some characters cannot be shown: see Options > Show Full Unicode");

QString FileName(const QString& path) {
    return QFileInfo(path).fileName();
}

}  // namespace

MainWindow::MainWindow(Platform platform, QWidget* parent)
    : QMainWindow(parent), platform_(platform), dateStyle_(DateStyle::FromEnvironment()) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowIcon(ApplicationIcon());
    setWindowTitle(kTitle);
    setAcceptDrops(true);
    windows_ = std::make_unique<OtherWindows>(*this);
    menus_ = std::make_unique<MainMenus>(*menuBar());
    status_ = std::make_unique<StatusPanels>(*statusBar());
    opener_ = new BackupOpener(this);
    connect(opener_, &BackupOpener::finished, this, &MainWindow::openDone);
    connect(opener_, &BackupOpener::progressed, this, &MainWindow::showOpenProgress);
    recent_ = new RecentFiles(platform_.settings, *menus_->recentFiles, this);
    connect(recent_, &RecentFiles::chosen, this, &MainWindow::openRecent);
    unicode_ = new UnicodeOption(platform_.settings, *menus_->optionsMenu->menu(), this);
    buildLayout();
    menus_->showAllDatabases->setChecked(StoredDatabases(platform_.settings) == Databases::All);
    rawFields_ = StoredRawFields(platform_.settings);
    menus_->showRawFields->setChecked(rawFields_);
    connectMenus();
    unicodeNote_ = new QLabel(this);
    unicodeNote_->setObjectName(QStringLiteral("unicodeNote"));
    unicodeNote_->hide();
    statusBar()->addPermanentWidget(unicodeNote_);
    cancelOpen_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelOpen_->setObjectName(QStringLiteral("cancelOpen"));
    cancelOpen_->hide();
    statusBar()->addPermanentWidget(cancelOpen_);
    connect(cancelOpen_, &QPushButton::clicked, this, &MainWindow::cancelOpen);
    connect(unicode_, &UnicodeOption::changed, this, &MainWindow::applyTextForm);

    WindowSizeStore(platform_.settings).restore(*this);
    model_->setTree(BackupTree());
    applyTextForm();
    updateMenus();
    hidePanes();
    status_->add(kMainPanel, kPrompt);
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::aboutWindow() const {
    return windows_->about();
}
QWidget* MainWindow::settingsWindow() const {
    return windows_->settings();
}

const BackupTree& MainWindow::tree() const {
    return model_->tree();
}
BackupTree& MainWindow::tree() {
    return model_->tree();
}
QTreeView& MainWindow::treeView() {
    return *treeView_;
}

void MainWindow::buildLayout() {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("splitter"));
    model_ = new BackupTreeModel(this);
    // The search field stands above the tree.
    auto* treeSide = new QWidget(splitter);
    treeSide->setObjectName(QStringLiteral("treeSide"));
    auto* treeLayout = new QVBoxLayout(treeSide);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->setSpacing(2);
    treeView_ = new BackupTreeView(*model_, treeSide);
    connect(treeView_, &BackupTreeView::nodeChosen, this, &MainWindow::showNode);
    findBar_ = new FindBar(*model_, *treeView_, treeSide);
    treeLayout->addWidget(findBar_);
    treeLayout->addWidget(treeView_);
    statusBar()->addPermanentWidget(&findBar_->statusLabel());

    paneArea_ = new PaneArea(splitter);
    panes_ = std::make_unique<DetailPanes>(paneArea_->content());
    for (QGroupBox* frame : panes_->frames())
        paneArea_->addFrame(frame);
    // The export panel comes last, below the record's pane.
    exportPanel_ = new ExportPanel(
        platform_.messages, platform_.settings,
        [this] {
            return ExportPanel::Source{&tree(), selectedNode(), decodeContext()};
        },
        paneArea_->content());
    paneArea_->addFrame(exportPanel_);

    splitter->addWidget(treeSide);
    splitter->addWidget(paneArea_);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({420, 700});
    setCentralWidget(splitter);
}

void MainWindow::connectMenus() {
    const MainMenus& m = *menus_;
    connect(m.open, &QAction::triggered, this, &MainWindow::openFromDialog);
    connect(m.exit, &QAction::triggered, this, &QWidget::close);
    connect(m.editServiceBook, &QAction::triggered, this, &MainWindow::editServiceBook);
    connect(m.exportRecords, &QAction::triggered, this, &MainWindow::exportRecords);
    connect(m.merge, &QAction::triggered, this, &MainWindow::showMergeWindow);
    connect(m.split, &QAction::triggered, this, &MainWindow::showSplitWindow);
    connect(m.settings, &QAction::triggered, this, &MainWindow::showSettings);
    connect(m.about, &QAction::triggered, this, &MainWindow::showAbout);
    connect(m.showAllDatabases, &QAction::toggled, this, &MainWindow::showAllDatabases);
    connect(m.showRawFields, &QAction::toggled, this, &MainWindow::showRawFields);
}

void MainWindow::updateMenus() {
    menus_->showFileCommands(!opener_->isBusy() && tree().nodeCount() > 1);
    const auto node = selectedNode();
    menus_->showServiceBookMenu(!opener_->isBusy() && node &&
                                tree().kind(*node) == NodeKind::Record &&
                                tree().databaseByParentText(*node) == KnownDb::ServiceBook);
}

void MainWindow::hidePanes() {
    paneArea_->hideFrames();
}

std::optional<NodeId> MainWindow::selectedNode() const {
    QModelIndex current = treeView_->currentIndex();
    if (!current.isValid()) return std::nullopt;
    return BackupTreeModel::nodeOf(current);
}

void MainWindow::refreshTimeZoneText() {
    const QString stored = platform_.settings.read(kTimeZoneSetting, kTimeZoneFallback);
    timeZoneText_ = TimeZoneTextFromSetting(stored.toStdString());
}

void MainWindow::applyTimeZoneText(std::string text) {
    if (text == timeZoneText_) return;
    timeZoneText_ = std::move(text);
    if (!tree().loaded()) return;
    applyTextForm();
    indexForSearch();
}

DecodeContext MainWindow::decodeContext() const {
    DecodeContext context;
    context.timeZoneText = timeZoneText_;
    context.dateStyle = dateStyle_;
    context.text = unicode_->textOptions();
    return context;
}

QString MainWindow::unicodeNote() const {
    return unicodeNote_->isHidden() ? QString() : unicodeNote_->text();
}

void MainWindow::applyTextForm() {
    const TextOptions text = unicode_->textOptions();
    model_->setTextForm(text);
    panes_->setUnicode(text.unicode);
    const auto node = selectedNode();
    if (node && tree().kind(*node) == NodeKind::Record) {
        panes_->showRecord(tree(), *node, decodeContext(), rawFields_);
    }
    updateUnicodeNote(node);
}

void MainWindow::updateUnicodeNote(std::optional<NodeId> node) {
    bool lacking = false;
    if (!unicode_->on() && node && *node < tree().nodeCount() &&
        tree().kind(*node) == NodeKind::Record) {
        const auto db = tree().databaseByParentText(*node);
        const auto span = tree().span(*node);
        lacking = db && span && HoldsCharactersBeyondCp1256(tree().image(), *db, *span);
    }
    unicodeNote_->setText(lacking ? kUnicodeNote : QString());
    unicodeNote_->setVisible(lacking);
}

std::array<QString, 22> MainWindow::serviceBookTexts() const {
    return panes_->serviceBookTexts();
}

QStringList MainWindow::panelKeys() const {
    return status_->keys();
}

QString MainWindow::panelText(const QString& key) const {
    return status_->text(key);
}

// ---- Open ----

void MainWindow::beginOpenCommand() {
    windows_->closeForOpen();
    menus_->showFileCommands(false);
    menus_->showServiceBookMenu(false);
}

void MainWindow::openFromDialog() {
    beginOpenCommand();
    const QString path = platform_.files.openFile(this, kBackupFilter);
    if (path.isEmpty()) {
        // Nothing chosen: the loaded file stays, and with it its menus.
        updateMenus();
        return;
    }
    opener_->open(path, StoredDatabases(platform_.settings));
}

void MainWindow::openPath(const QString& path) {
    beginOpenCommand();
    opener_->open(path, StoredDatabases(platform_.settings));
}

void MainWindow::openRecent(const QString& path) {
    if (QFileInfo(path).isFile()) {
        openPath(path);
        return;
    }
    recent_->remove(path);
    platform_.messages.show(
        this, MessageIcon::Warning, kApplicationTitle,
        QStringLiteral(
            "Cannot open \"%1\": it no longer exists, so it is taken off the recent files.")
            .arg(path));
}

void MainWindow::showAllDatabases(bool shown) {
    StoreDatabases(platform_.settings, shown ? Databases::All : Databases::Decoded);
    if (!openedPath_.isEmpty()) openPath(openedPath_);
}

void MainWindow::showRawFields(bool shown) {
    StoreRawFields(platform_.settings, shown);
    rawFields_ = shown;
    if (const auto node = selectedNode()) showNode(*node);
}

bool MainWindow::isOpening() const {
    return opener_->isBusy();
}

void MainWindow::waitForOpen() {
    if (!opener_->isBusy()) return;
    QEventLoop loop;
    connect(this, &MainWindow::openFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

void MainWindow::showOpenProgress(const QString& path, int percent) {
    QString text = QStringLiteral("Opening ") + FileName(path);
    if (percent >= 0) text += QStringLiteral(": %1%").arg(percent);
    status_->showMessage(text);
    cancelOpen_->show();
}

void MainWindow::cancelOpen() {
    if (!opener_->isBusy()) return;
    opener_->cancel();
    cancelOpen_->hide();
    status_->clearMessage();
    updateMenus();
    Q_EMIT openFinished(false);
}

void MainWindow::openDone() {
    BackupOpener::Outcome outcome = opener_->takeOutcome();
    status_->clearMessage();
    cancelOpen_->hide();
    if (!outcome.tree) {
        // The file could not be read: say why, as the command line does, and keep the file
        // that was open.
        updateMenus();
        platform_.messages.show(this, MessageIcon::Warning, kApplicationTitle, outcome.error);
        Q_EMIT openFinished(false);
        return;
    }

    status_->clear();
    openedPath_ = outcome.path;
    recent_->add(openedPath_);
    findBar_->reset();
    model_->setTree(std::move(*outcome.tree));
    setWindowTitle(kTitle + QStringLiteral(" - ") + openedPath_);
    refreshTimeZoneText();
    const RecordIndex& index = tree().index();
    if (index.complete()) {
        status_->add(kMainPanel, FileName(openedPath_));
        status_->add(kDetailsPanel, QString::fromStdString(CountsLine(index)));
    }
    hidePanes();
    updateUnicodeNote(std::nullopt);
    updateMenus();
    indexForSearch();
    // A damaged file, or one with nothing to show, opens with what could be read, and says so.
    QStringList warnings = outcome.warnings;
    if (const QString walk = OpenWarning(openedPath_, index); !walk.isEmpty()) warnings << walk;
    const QString warning = warnings.join(QLatin1Char('\n'));
    if (!warning.isEmpty())
        platform_.messages.show(this, MessageIcon::Warning, kApplicationTitle, warning);
    Q_EMIT openFinished(true);
}

void MainWindow::indexForSearch() {
    DecodeContext search = decodeContext();
    search.text = TextOptions{};
    findBar_->backupShown(search);
}

// ---- selection ----

void MainWindow::showNode(NodeId node) {
    hidePanes();
    panes_->showRecord(tree(), node, decodeContext(), rawFields_);
    updateUnicodeNote(node);
    updateMenus();
}

// ---- commands that open other windows ----

void MainWindow::showAbout() {
    windows_->showAbout();
}

void MainWindow::showSettings() {
    windows_->showSettings();
}

void MainWindow::exportRecords() {
    exportPanel_->openForSelection();
}

void MainWindow::showMergeWindow() {
    windows_->showMerge();
}

void MainWindow::showSplitWindow() {
    windows_->showSplit();
}

void MainWindow::editServiceBook() {
    auto node = selectedNode();
    if (!node || tree().databaseByParentText(*node) != KnownDb::ServiceBook) return;
    windows_->editServiceBook(*node);
}

// ---- window ----

void MainWindow::closeEvent(QCloseEvent* event) {
    WindowSizeStore(platform_.settings).save(*this);
    opener_->cancel();
    windows_->closeAbout();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedBackupPath(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = DroppedBackupPath(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    openPath(path);
}

}  // namespace orrelin::gui
