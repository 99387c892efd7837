#include "gui/browser/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <atomic>

#include "browser/tree_keys.h"
#include "decoders/time_format.h"
#include "gui/browser/detail_panes.h"
#include "gui/browser/icons.h"
#include "gui/browser/single_byte.h"
#include "gui/browser/tree_model.h"
#include "gui/export/export_panel.h"
#include "gui/servicebook/edit_sb.h"
#include "gui/splitmerge/frm_merge.h"
#include "gui/splitmerge/frm_split.h"
#include "gui/settings/frm_options.h"
#include "gui/settings/frm_splash.h"
#include "base/paths.h"
#include "ipd/loader.h"

namespace orrelin::gui {
namespace {

const QString kTitle = QStringLiteral("Orrelin IPD Reader");
const QString kOpenFilter = QStringLiteral("IPD Files (*.ipd)");
const QString kPrompt = QStringLiteral("Please open IPD file from File menu");
// The window's size is kept beside the time-zone setting, in a section of its own.
const QString kStoreApplication = QStringLiteral("orrelin_beta");
const QString kWindowSection = QStringLiteral("Window");
const QString kSizeKey = QStringLiteral("size");
constexpr QSize kDefaultSize{1120, 760};
// Opening a file that takes longer than this shows its progress in the status bar.
constexpr qint64 kProgressAfterMs = 500;

QString FileName(const QString& path) {
    return QString::fromStdString(FileNameOfPath(path.toStdString()));
}

}  // namespace

// What the background open hands back to the window.
struct FrmMain::OpenResult {
    std::optional<BackupTree> tree;
    std::string error;
};

struct FrmMain::OpenJob {
    std::atomic<bool> cancelled{false};
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{0};
    QString path;
};

FrmMain::FrmMain(Platform platform, QWidget* parent)
    : QMainWindow(parent), platform_(platform), dateStyle_(DateStyle::FromEnvironment()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(ApplicationIcon());
    setAcceptDrops(true);
    buildMenus();
    buildTree();

    // The window's load: title, centred, menus that need a file hidden, the empty root, no
    // pane, and the prompt.
    setWindowTitle(kTitle);
    restoreSizeFromStore();
    mservicebook_->setVisible(false);
    mExport_->setVisible(false);
    mSplit_->setVisible(false);
    mManipulate_->setVisible(false);
    model_->setTree(BackupTree());
    tvwMain_->expand(model_->indexOf(BackupTree::kRoot));
    ResetPanes();
    clearPanels();
    addPanel(QStringLiteral("main"), kPrompt);

    progressTimer_.setInterval(100);
    connect(&progressTimer_, &QTimer::timeout, this, &FrmMain::showProgress);
}

FrmMain::~FrmMain() {
    stopWorker();
    if (splash_) splash_->close();
}

const BackupTree& FrmMain::tree() const {
    return model_->tree();
}
BackupTree& FrmMain::tree() {
    return model_->tree();
}

void FrmMain::buildMenus() {
    auto* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    mFile_ = file->menuAction();
    mOpen_ = file->addAction(QStringLiteral("&Open"), this, &FrmMain::mOpen_Click);
    mExit_ = file->addAction(QStringLiteral("E&xit"), this, &FrmMain::mExit_Click);

    QMenu* serviceBook = bar->addMenu(QStringLiteral("&Service Book"));
    mservicebook_ = serviceBook->menuAction();
    mEdit_ = serviceBook->addAction(QStringLiteral("&Edit"), this, &FrmMain::mEdit_Click);

    QMenu* manipulate = bar->addMenu(QStringLiteral("&Manipulate"));
    mManipulate_ = manipulate->menuAction();
    mExport_ = manipulate->addAction(QStringLiteral("Ex&port"), this, &FrmMain::mExport_Click);
    mMerge_ = manipulate->addAction(QStringLiteral("Mer&ge"), this, &FrmMain::mMerge_Click);
    mSplit_ = manipulate->addAction(QStringLiteral("Sp&lit"), this, &FrmMain::mSplit_Click);

    QMenu* optionsMenu = bar->addMenu(QStringLiteral("Op&tions"));
    options_ = optionsMenu->menuAction();
    settings_ = optionsMenu->addAction(QStringLiteral("Settings"), this, &FrmMain::Settings_Click);

    mAbout_ = bar->addAction(QStringLiteral("&About"), this, &FrmMain::mAbout_Click);

    const std::pair<QAction*, const char*> names[] = {
        {mFile_, "mFile"},       {mOpen_, "mOpen"},
        {mExit_, "mExit"},       {mservicebook_, "mservicebook"},
        {mEdit_, "mEdit"},       {mManipulate_, "mManipulate"},
        {mExport_, "mExport"},   {mMerge_, "mMerge"},
        {mSplit_, "mSplit"},     {options_, "Options"},
        {settings_, "Settings"}, {mAbout_, "mAbout"}};
    for (const auto& [action, name] : names)
        action->setObjectName(QString::fromLatin1(name));
}

void FrmMain::buildTree() {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("splitter"));

    model_ = new BackupTreeModel(this);
    tvwMain_ = new QTreeView(splitter);
    tvwMain_->setObjectName(QStringLiteral("tvwMain"));
    tvwMain_->setModel(model_);
    tvwMain_->setHeaderHidden(true);
    tvwMain_->setUniformRowHeights(true);
    tvwMain_->setRootIsDecorated(true);
    tvwMain_->setSelectionMode(QAbstractItemView::SingleSelection);
    tvwMain_->setEditTriggers(QAbstractItemView::SelectedClicked |
                              QAbstractItemView::EditKeyPressed);
    tvwMain_->setIconSize(QSize(16, 16));
    tvwMain_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tvwMain_->header()->setStretchLastSection(false);
    tvwMain_->viewport()->installEventFilter(this);
    connect(tvwMain_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { currentChanged(current); });
    connect(tvwMain_, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { clicked(index); });
    // The selection model survives model resets; a reset leaves no node selected.
    connect(model_, &QAbstractItemModel::modelReset, this,
            [this] { tvwMain_->expand(model_->indexOf(BackupTree::kRoot)); });

    auto* scroll = new QScrollArea(splitter);
    scroll->setObjectName(QStringLiteral("paneArea"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* area = new QWidget(scroll);
    frameLayout_ = new QVBoxLayout(area);
    frameLayout_->addStretch(1);
    scroll->setWidget(area);

    panes_ = new DetailPanes(area);
    for (QGroupBox* frame : panes_->frames())
        addFrame(frame);
    // The export panel comes last: it is the last frame ResetPanes hides.
    exportPanel_ = new ExportToText(
        platform_.messages,
        [this] {
            return ExportToText::Source{&tree(), selectedNode(), decodeContext()};
        },
        area);
    addFrame(exportPanel_);

    splitter->addWidget(tvwMain_);
    splitter->addWidget(scroll);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({420, 700});
    setCentralWidget(splitter);
}

void FrmMain::addFrame(QWidget* frame) {
    frame->hide();
    // Frames stack above the closing stretch; one at a time is shown.
    frameLayout_->insertWidget(frameLayout_->count() - 1, frame);
    frames_.emplace_back(frame);
}

void FrmMain::ResetPanes() {
    for (const auto& frame : frames_) {
        if (frame) frame->hide();
    }
}

std::optional<NodeId> FrmMain::selectedNode() const {
    QModelIndex current = tvwMain_->currentIndex();
    if (!current.isValid()) return std::nullopt;
    return BackupTreeModel::nodeOf(current);
}

void FrmMain::refreshTimeZoneText() {
    QString stored = platform_.settings.read(QStringLiteral("orrelin_beta"), QStringLiteral("TZ"),
                                             QStringLiteral("tzd"), QStringLiteral("GMT"));
    timeZoneText_ = TimeZoneTextFromSetting(stored.toStdString());
}

DecodeContext FrmMain::decodeContext() const {
    DecodeContext context;
    context.timeZoneText = timeZoneText_;
    context.dateStyle = dateStyle_;
    return context;
}

std::array<QString, 22> FrmMain::serviceBookTexts() const {
    return panes_->serviceBookTexts();
}

// ---- status bar ----

void FrmMain::clearPanels() {
    for (auto& [key, label] : panels_) {
        statusBar()->removeWidget(label);
        delete label;
    }
    panels_.clear();
}

void FrmMain::addPanel(const QString& key, const QString& text) {
    auto* label = new QLabel(text, statusBar());
    label->setObjectName(key);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    statusBar()->addWidget(label, key == QLatin1String("details") ? 1 : 0);
    panels_.emplace_back(key, label);
}

QStringList FrmMain::panelKeys() const {
    QStringList keys;
    for (const auto& panel : panels_)
        keys << panel.first;
    return keys;
}

QString FrmMain::panelText(const QString& key) const {
    for (const auto& [k, label] : panels_) {
        if (k == key) return label->text();
    }
    return {};
}

// ---- Open ----

void FrmMain::beginOpenCommand() {
    if (splash_) splash_->close();
    mservicebook_->setVisible(false);
    mExport_->setVisible(false);
    mManipulate_->setVisible(false);
    mSplit_->setVisible(false);
    if (splitWindow_) splitWindow_->close();
}

void FrmMain::mOpen_Click() {
    beginOpenCommand();
    QString path = platform_.files.openFile(this, kOpenFilter);
    if (path.isEmpty()) return;
    startOpen(path);
}

void FrmMain::openPath(const QString& path) {
    beginOpenCommand();
    startOpen(path);
}

void FrmMain::startOpen(const QString& path) {
    stopWorker();
    auto job = std::make_shared<OpenJob>();
    job->path = path;
    job_ = job;
    openClock_.start();
    progressTimer_.start();

    const std::string filePath = QFile::encodeName(path).toStdString();
    worker_ = std::thread([this, job, filePath] {
        auto result = std::make_shared<OpenResult>();
        auto image = IpdImage::ReadFile(filePath, &result->error);
        if (image && !job->cancelled) {
            job->total = image->fileLength();
            RecordIndex index = BuildDatabaseNodes(*image, filePath,
                                                   [&job](std::uint64_t done, std::uint64_t total) {
                                                       job->done = done;
                                                       job->total = total;
                                                       return !job->cancelled.load();
                                                   });
            result->tree.emplace(std::move(*image), std::move(index));
        }
        if (job->cancelled) return;
        QMetaObject::invokeMethod(
            this, [this, job, result] { finishOpen(job, result); }, Qt::QueuedConnection);
    });
}

void FrmMain::stopWorker() {
    if (job_) job_->cancelled = true;
    if (worker_.joinable()) worker_.join();
    job_.reset();
    progressTimer_.stop();
}

void FrmMain::showProgress() {
    if (!job_ || openClock_.elapsed() < kProgressAfterMs) return;
    const std::uint64_t total = job_->total;
    const std::uint64_t done = job_->done;
    QString text = QStringLiteral("Opening ") + FileName(job_->path);
    if (total > 0) {
        text += QStringLiteral(": %1%").arg(static_cast<int>(done * 100 / total));
    }
    statusBar()->showMessage(text);
}

void FrmMain::finishOpen(const std::shared_ptr<OpenJob>& job,
                         const std::shared_ptr<OpenResult>& result) {
    if (job != job_) return;  // an older Open, overtaken by a newer one
    if (worker_.joinable()) worker_.join();
    job_.reset();
    progressTimer_.stop();
    statusBar()->clearMessage();

    if (!result->tree) {
        // The file could not be read: say why, and keep the file that was open.
        platform_.messages.show(this, MessageIcon::Warning, kApplicationTitle,
                                QStringLiteral("Cannot open \"%1\": %2.")
                                    .arg(job->path, QString::fromStdString(result->error)));
        Q_EMIT openFinished(false);
        return;
    }

    clearPanels();
    openedPath_ = job->path;
    model_->setTree(std::move(*result->tree));
    setWindowTitle(kTitle + QStringLiteral(" - ") + openedPath_);
    refreshTimeZoneText();
    const RecordIndex& index = tree().index();
    if (index.complete()) {
        addPanel(QStringLiteral("main"), FileName(openedPath_));
        addPanel(QStringLiteral("details"), QString::fromStdString(CountsLine(index)));
    }
    ResetPanes();
    if (tree().nodeCount() > 1) {
        mExport_->setVisible(true);
        mManipulate_->setVisible(true);
        mSplit_->setVisible(true);
    }
    Q_EMIT openFinished(true);
}

void FrmMain::waitForOpen() {
    if (!job_) return;
    QEventLoop loop;
    connect(this, &FrmMain::openFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

// ---- selection ----

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tvwMain_->viewport() && event->type() == QEvent::MouseButtonPress) {
        changedDuringPress_ = false;
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::currentChanged(const QModelIndex& current) {
    if (!current.isValid()) return;
    changedDuringPress_ = true;
    nodeSelected(BackupTreeModel::nodeOf(current));
}

void FrmMain::clicked(const QModelIndex& index) {
    // A click on the node that was already selected handles it again (a changed time zone,
    // for one, shows after the settings window was loaded).
    if (!index.isValid() || changedDuringPress_) return;
    nodeSelected(BackupTreeModel::nodeOf(index));
}

void FrmMain::nodeSelected(NodeId node) {
    ResetPanes();
    const BackupTree& t = tree();
    if (node >= t.nodeCount()) return;
    // The root and database nodes show nothing and leave no service book entry selected.
    mservicebook_->setVisible(false);
    if (t.kind(node) != NodeKind::Record) return;
    auto db = t.databaseByParentText(node);
    auto span = t.span(node);
    if (!db || !span) return;

    const DecodeContext context = decodeContext();
    const IpdImage& image = t.image();
    switch (*db) {
        case KnownDb::Sms:
            panes_->showSms(DecodeSms(image, *span, context));
            break;
        case KnownDb::AddressBookAll:
        case KnownDb::AddressBook: {
            ContactRecord contact =
                DecodeContact(image, *span, *db == KnownDb::AddressBookAll, context);
            QString picture;
            if (!contact.photo.empty() && !platform_.pictureFolder.isEmpty()) {
                picture = QString::fromStdString(SaveContactPicture(
                    contact.photo, QFile::encodeName(platform_.pictureFolder).toStdString(),
                    static_cast<std::int32_t>(t.collectionIndex(node))));
            }
            panes_->showContact(contact, picture);
            break;
        }
        case KnownDb::Memos:
            panes_->showMemo(DecodeMemo(image, *span, context));
            break;
        case KnownDb::Tasks:
            panes_->showTask(DecodeTask(image, *span, context));
            break;
        case KnownDb::Calendar:
        case KnownDb::CalendarAll:
            panes_->showCalendar(
                DecodeCalendar(image, *span, *db == KnownDb::CalendarAll, context));
            break;
        case KnownDb::ServiceBook:
            panes_->showServiceBook(DecodeServiceBook(image, *span));
            mservicebook_->setVisible(true);
            break;
        case KnownDb::PhoneCallLogs:
            panes_->showCall(DecodeCall(image, *span, context));
            break;
    }
}

// ---- small commands ----

void FrmMain::mExit_Click() {
    close();
}

void FrmMain::mAbout_Click() {
    if (!splash_) splash_ = new FrmSplash();
    splash_->show();
    splash_->raise();
    splash_->activateWindow();
}

void FrmMain::Settings_Click() {
    if (!optionsWindow_)
        optionsWindow_ = new FrmOptions(
            platform_, [this](std::string text) { setTimeZoneText(std::move(text)); }, this);
    optionsWindow_->show();
    optionsWindow_->raise();
    optionsWindow_->activateWindow();
}

// Export: the export panel opens for the selected record, or says why it cannot.
void FrmMain::mExport_Click() {
    exportPanel_->mExport_Click();
}

// Merge: shows the merge window without blocking this one. It has no parent, so it stays open
// when this window closes; it asks for the opened path only while this window exists.
void FrmMain::mMerge_Click() {
    if (!mergeWindow_) {
        QPointer<FrmMain> self(this);
        mergeWindow_ = new FrmMerge(platform_, tree(), [self] {
            return self ? self->openedPath() : QString();
        });
    }
    mergeWindow_->show();
    mergeWindow_->raise();
    mergeWindow_->activateWindow();
}

// Split: when the tree holds more than one node, shows the split window without blocking this
// one; Open closes it, so its tree always belongs to the loaded file.
void FrmMain::mSplit_Click() {
    if (tree().nodeCount() <= 1) return;
    if (!splitWindow_) splitWindow_ = new FrmSplit(platform_, tree(), this);
    splitWindow_->show();
    splitWindow_->raise();
    splitWindow_->activateWindow();
}

// Edit: opens the service book editor on the selected entry.
void FrmMain::mEdit_Click() {
    auto node = selectedNode();
    if (!node || tree().databaseByParentText(*node) != KnownDb::ServiceBook) return;
    if (!editSB_) editSB_ = new EditSB(platform_, this);
    if (!editSB_->open(tree(), *node, serviceBookTexts())) return;
    editSB_->show();
    editSB_->raise();
    editSB_->activateWindow();
}

// ---- window ----

void FrmMain::restoreSizeFromStore() {
    QSize size = kDefaultSize;
    const QStringList stored =
        platform_.settings.read(kStoreApplication, kWindowSection, kSizeKey, QString())
            .split(QLatin1Char('x'));
    if (stored.size() == 2) {
        bool okWidth = false;
        bool okHeight = false;
        QSize read(stored[0].toInt(&okWidth), stored[1].toInt(&okHeight));
        if (okWidth && okHeight && read.width() >= 400 && read.height() >= 300) size = read;
    }
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        size = size.boundedTo(available.size());
        resize(size);
        move(available.left() + (available.width() - size.width()) / 2,
             available.top() + (available.height() - size.height()) / 2);
    } else {
        resize(size);
    }
}

void FrmMain::closeEvent(QCloseEvent* event) {
    if (!isMaximized() && !isFullScreen()) {
        platform_.settings.write(kStoreApplication, kWindowSection, kSizeKey,
                                 QStringLiteral("%1x%2").arg(width()).arg(height()));
    }
    stopWorker();
    if (splash_) splash_->close();
    event->accept();
}

// The first local .ipd file of a drop, or nothing.
static QString DroppedIpdFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QLatin1String(".ipd"), Qt::CaseInsensitive)) {
            return url.toLocalFile();
        }
    }
    return {};
}

void FrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedIpdFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void FrmMain::dropEvent(QDropEvent* event) {
    QString path = DroppedIpdFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    openPath(path);
}

}  // namespace orrelin::gui
