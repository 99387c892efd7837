// The main window, offscreen: opening, the tree and status bar, menu states, the panes.

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <memory>

#include "fakes.h"
#include "gui/browser/detail_panes.h"
#include "gui/browser/main_window.h"
#include "gui/browser/tree_model.h"
#include "gui/browser/value_font.h"
#include "gui/export/export_panel.h"
#include "gui/splitmerge/frm_merge.h"
#include "gui/splitmerge/frm_split.h"
#include "test_backups.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

namespace {

// Node ids of EveryKindBackup: the root, nine database nodes, then the records in file order.
enum Node : NodeId {
    SmsDb = 1,
    AddressAllDb,
    AddressDb,
    MemosDb,
    TasksDb,
    CalendarDb,
    CalendarAllDb,
    ServiceBookDb,
    CallsDb,
    SentSms,
    ReceivedSms,
    ContactAll,
    Contact,
    MemoEntry,
    TaskEntry,
    Appointment,
    AppointmentAll,
    ServiceEntry,
    PlacedCall,
    MissedCall,
};

QStringList VisibleFrames(FrmMain& window) {
    QStringList names;
    for (QGroupBox* frame : window.panes().frames()) {
        if (!frame->isHidden()) names << frame->objectName();
    }
    return names;
}

QString Field(FrmMain& window, const QString& name) {
    if (auto* line = window.findChild<QLineEdit*>(name)) return line->text();
    if (auto* box = window.findChild<QPlainTextEdit*>(name)) return box->toPlainText();
    return QStringLiteral("<no field %1>").arg(name);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString backup_;
    std::unique_ptr<FakePlatform> fakes_;
    std::unique_ptr<FrmMain> window_;

    FrmMain& open(const QString& path) {
        window_->openPath(path);
        window_->waitForOpen();
        return *window_;
    }
    void select(NodeId node) {
        window_->treeView().setCurrentIndex(window_->treeModel().indexOf(node));
    }

  private Q_SLOTS:
    void initTestCase() {
        qputenv("LC_ALL", "C");
        QVERIFY(dir_.isValid());
        backup_ = WriteBackup(dir_, QStringLiteral("every kind.ipd"), EveryKindBackup());
        QVERIFY(!backup_.isEmpty());
    }

    void init() {
        fakes_ = std::make_unique<FakePlatform>();
        fakes_->platform.pictureFolder = dir_.filePath(QStringLiteral("pictures/"));
        QDir().mkpath(fakes_->platform.pictureFolder);
        window_ = std::make_unique<FrmMain>(fakes_->platform);
    }

    void cleanup() {
        window_.reset();
        fakes_.reset();
    }

    void startsWithTheEmptyRootAndThePrompt() {
        FrmMain& w = *window_;
        QCOMPARE(w.windowTitle(), QStringLiteral("Orrelin IPD Reader"));
        QCOMPARE(w.tree().nodeCount(), std::size_t{1});
        QModelIndex root = w.treeModel().index(0, 0);
        QCOMPARE(root.data().toString(), QStringLiteral("IPD Databases"));
        QCOMPARE(root.data(BackupTreeModel::KeyRole).toString(), QStringLiteral("Top"));
        QCOMPARE(root.data(BackupTreeModel::ImageKeyRole).toString(), QStringLiteral("sheet"));
        QCOMPARE(w.panelKeys(), QStringList{QStringLiteral("main")});
        QCOMPARE(w.panelText(QStringLiteral("main")),
                 QStringLiteral("Please open IPD file from File menu"));
        QVERIFY(VisibleFrames(w).isEmpty());

        // Captions with their access keys; which are shown at start.
        const std::pair<QAction*, const char*> captions[] = {
            {w.mFile(), "&File"},           {w.mOpen(), "&Open"},
            {w.mExit(), "E&xit"},           {w.mservicebook(), "&Service Book"},
            {w.mEdit(), "&Edit"},           {w.mManipulate(), "&Manipulate"},
            {w.mExport(), "Ex&port"},       {w.mMerge(), "Mer&ge"},
            {w.mSplit(), "Sp&lit"},         {w.options(), "Op&tions"},
            {w.settingsItem(), "Settings"}, {w.mAbout(), "&About"}};
        for (const auto& [action, caption] : captions)
            QCOMPARE(action->text(), QString::fromLatin1(caption));
        for (QAction* shown :
             {w.mFile(), w.mOpen(), w.mExit(), w.options(), w.settingsItem(), w.mAbout()}) {
            QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
        }
        for (QAction* hidden : {w.mservicebook(), w.mManipulate(), w.mExport(), w.mSplit()}) {
            QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
        }
    }

    void openLoadsTheTreeStatusBarAndMenus() {
        fakes_->files.openAnswers.push_back(backup_);
        QSignalSpy finished(window_.get(), &FrmMain::openFinished);
        window_->mOpen_Click();
        window_->waitForOpen();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toBool(), true);
        FrmMain& w = *window_;
        QCOMPARE(fakes_->files.openFilters, QStringList{QStringLiteral("IPD Files (*.ipd)")});
        QCOMPARE(w.windowTitle(), QStringLiteral("Orrelin IPD Reader - ") + backup_);
        QCOMPARE(w.openedPath(), backup_);

        auto& model = w.treeModel();
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QModelIndex root = model.index(0, 0);
        QCOMPARE(root.data().toString(), backup_);
        QVERIFY(w.treeView().isExpanded(root));
        QCOMPARE(model.rowCount(root), 9);  // "Folders" is not read
        const char* names[] = {
            "SMS Messages", "Address Book - All", "Address Book", "Memos",          "Tasks",
            "Calendar",     "Calendar - All",     "Service Book", "Phone Call Logs"};
        for (int i = 0; i < 9; ++i) {
            QModelIndex db = model.index(i, 0, root);
            QCOMPARE(db.data().toString(), QString::fromLatin1(names[i]));
            QCOMPARE(db.data(BackupTreeModel::KeyRole).toString(),
                     QStringLiteral("%1DBTop").arg(i));
            QVERIFY(!db.data(Qt::DecorationRole).isValid());
            QVERIFY(!w.treeView().isExpanded(db));
        }
        QModelIndex sms = model.index(0, 0, model.index(0, 0, root));
        QCOMPARE(sms.data(BackupTreeModel::ImageKeyRole).toString(), QStringLiteral("sent"));
        QCOMPARE(model.index(1, 0, model.index(0, 0, root))
                     .data(BackupTreeModel::ImageKeyRole)
                     .toString(),
                 QStringLiteral("receivedsms"));
        QVERIFY(sms.data(BackupTreeModel::TagRole).toString().contains(QLatin1Char(':')));
        QVERIFY(!sms.data(Qt::DecorationRole).value<QIcon>().isNull());

        QCOMPARE(w.panelKeys(), (QStringList{QStringLiteral("main"), QStringLiteral("details")}));
        QCOMPARE(w.panelText(QStringLiteral("main")), QStringLiteral("every kind.ipd"));
        QCOMPARE(
            w.panelText(QStringLiteral("details")),
            QStringLiteral("2 SMS Messages, 1 Address Book (All), 1 Tasks, 1 Memos, 1 Calendar, "
                           "2 Phone Calls, 1 Service Book"));
        QVERIFY(w.mManipulate()->isVisible());
        QVERIFY(w.mExport()->isVisible());
        QVERIFY(w.mSplit()->isVisible());
        QVERIFY(w.mMerge()->isVisible());
        QVERIFY(!w.mservicebook()->isVisible());
    }

    void cancellingOpenKeepsTheFileWithItsMenusHidden() {
        open(backup_);
        select(ServiceEntry);
        QVERIFY(window_->mservicebook()->isVisible());
        window_->mOpen_Click();  // no answer: cancelled
        QCOMPARE(window_->windowTitle(), QStringLiteral("Orrelin IPD Reader - ") + backup_);
        QCOMPARE(window_->tree().nodeCount(), std::size_t{21});
        QCOMPARE(window_->panelText(QStringLiteral("main")), QStringLiteral("every kind.ipd"));
        for (QAction* hidden : {window_->mservicebook(), window_->mManipulate(), window_->mExport(),
                                window_->mSplit()}) {
            QVERIFY(!hidden->isVisible());
        }
        QVERIFY(fakes_->messages.shown.empty());
    }

    void aFileThatCannotBeReadIsReportedAndTheOpenFileStays_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder") << QStringLiteral("folder.ipd") << QStringLiteral("directory");
        QTest::newRow("missing") << QStringLiteral("missing.ipd") << QStringLiteral("No such file");
    }
    void aFileThatCannotBeReadIsReportedAndTheOpenFileStays() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QDir(dir_.path()).mkdir(QStringLiteral("folder.ipd"));
        open(backup_);
        const QString bad = dir_.filePath(name);
        QSignalSpy finished(window_.get(), &FrmMain::openFinished);
        fakes_->files.openAnswers.push_back(bad);
        window_->mOpen_Click();
        window_->waitForOpen();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(fakes_->messages.shown.size(), std::size_t{1});
        const ShownMessage& message = fakes_->messages.shown.front();
        QCOMPARE(message.icon, MessageIcon::Warning);
        QVERIFY2(message.text.contains(bad), qPrintable(message.text));
        QVERIFY2(message.text.contains(reason, Qt::CaseInsensitive), qPrintable(message.text));
        QCOMPARE(window_->openedPath(), backup_);
        QCOMPARE(window_->tree().nodeCount(), std::size_t{21});
        QCOMPARE(window_->windowTitle(), QStringLiteral("Orrelin IPD Reader - ") + backup_);
    }

    void aFileWithoutKnownDatabasesShowsTheRootOnly() {
        IpdBuilder ipd;
        ipd.database("Folders");
        const QString other = WriteBackup(dir_, QStringLiteral("other.ipd"), ipd.build());
        open(other);
        QCOMPARE(window_->tree().nodeCount(), std::size_t{1});
        QCOMPARE(window_->treeModel().index(0, 0).data().toString(), other);
        QCOMPARE(
            window_->panelText(QStringLiteral("details")),
            QStringLiteral("0 SMS Messages, 0 Address Book (All), 0 Tasks, 0 Memos, 0 Calendar, "
                           "0 Phone Calls, 0 Service Book"));
        QVERIFY(!window_->mManipulate()->isVisible());
        QVERIFY(!window_->mExport()->isVisible());
    }

    void aDamagedFileKeepsItsNodesAndLeavesTheStatusBarEmpty() {
        IpdBuilder ipd;
        auto memos = ipd.database("Memos");
        ipd.record(memos, FieldList().text(1, "Kept").bytes());
        ipd.raw(Raw({3}));  // a stray byte where a record header should start
        open(WriteBackup(dir_, QStringLiteral("damaged.ipd"), ipd.build()));
        QCOMPARE(window_->tree().nodeCount(), std::size_t{3});
        QVERIFY(window_->panelKeys().isEmpty());
        QVERIFY(window_->mManipulate()->isVisible());
    }

    void eachRecordFillsItsPane_data() {
        QTest::addColumn<quint32>("node");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("sent sms") << quint32{SentSms} << "SMSmessages"
                                  << "msg_text"
                                  << "Hello there";
        QTest::newRow("sms number") << quint32{SentSms} << "SMSmessages"
                                    << "tel_number"
                                    << "5551234";
        QTest::newRow("received sms") << quint32{ReceivedSms} << "SMSmessages"
                                      << "msg_text"
                                      << "Reply";
        QTest::newRow("contact all") << quint32{ContactAll} << "Contacts"
                                     << "ct(3)"
                                     << "Acme";
        QTest::newRow("contact") << quint32{Contact} << "Contacts"
                                 << "ct(5)"
                                 << "salma@example.org";
        QTest::newRow("contact arabic") << quint32{Contact} << "Contacts"
                                        << "ct(1)" << QString::fromUtf8("\u0633\u0644\u0645\u0649");
        QTest::newRow("contact pin") << quint32{Contact} << "Contacts"
                                     << "ct(14)"
                                     << "2A3B4C5D";
        QTest::newRow("contact notes") << quint32{Contact} << "Contacts"
                                       << "ct(31)"
                                       << "Met in Beirut\r\nSecond line";
        QTest::newRow("contact facebook") << quint32{Contact} << "Contacts"
                                          << "ct(32)"
                                          << "salma.h";
        QTest::newRow("memo") << quint32{MemoEntry} << "Memo"
                              << "ct(44)"
                              << "Shopping";
        QTest::newRow("task") << quint32{TaskEntry} << "Task"
                              << "ct(43)"
                              << "Call Bob";
        QTest::newRow("task status") << quint32{TaskEntry} << "Task"
                                     << "ct(42)"
                                     << "In Progress";
        QTest::newRow("task priority") << quint32{TaskEntry} << "Task"
                                       << "ct(41)"
                                       << "High";
        QTest::newRow("calendar") << quint32{Appointment} << "Calendar"
                                  << "ct(38)"
                                  << "Room 4";
        QTest::newRow("calendar start") << quint32{Appointment} << "Calendar"
                                        << "ct(37)"
                                        << "1/1/1970 4:00:00 AM";
        QTest::newRow("calendar all") << quint32{AppointmentAll} << "Calendar"
                                      << "ct(39)"
                                      << "Holiday";
        QTest::newRow("service book") << quint32{ServiceEntry} << "Servicebook"
                                      << "hrtnet(17)"
                                      << "WAP Transport";
        QTest::newRow("service book uid") << quint32{ServiceEntry} << "Servicebook"
                                          << "hrtnet(20)"
                                          << "-1";
        QTest::newRow("service book apn") << quint32{ServiceEntry} << "Servicebook"
                                          << "hrtnet(3)"
                                          << "internet.apn";
        QTest::newRow("service book ip") << quint32{ServiceEntry} << "Servicebook"
                                         << "hrtnet(5)"
                                         << "192";
        QTest::newRow("service book port") << quint32{ServiceEntry} << "Servicebook"
                                           << "hrtnet(9)"
                                           << "8080";
        QTest::newRow("service book home") << quint32{ServiceEntry} << "Servicebook"
                                           << "hrtnet(11)"
                                           << "http://home";
        QTest::newRow("call") << quint32{PlacedCall} << "pcallslog"
                              << "ct(46)"
                              << "Omar";
        QTest::newRow("call number") << quint32{PlacedCall} << "pcallslog"
                                     << "ct(47)"
                                     << "5550000";
        QTest::newRow("call date") << quint32{PlacedCall} << "pcallslog"
                                   << "ct(48)"
                                   << "1/1/1970 3:00:00 AM";
    }
    void eachRecordFillsItsPane() {
        QFETCH(quint32, node);
        QFETCH(QString, frame);
        QFETCH(QString, field);
        QFETCH(QString, value);
        open(backup_);
        select(MemoEntry == node ? SentSms : MemoEntry);  // another pane first
        select(node);
        QCOMPARE(VisibleFrames(*window_), QStringList{frame});
        // Multi-line fields keep line breaks as their plain text shows them.
        QCOMPARE(Field(*window_, field),
                 QString(value).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(window_->mservicebook()->isVisible(), node == ServiceEntry);
    }

    void aRealClickOnARecordShowsItsPane() {
        open(backup_);
        window_->resize(1000, 700);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QTreeView& view = window_->treeView();
        view.expand(window_->treeModel().indexOf(MemosDb));
        QModelIndex memo = window_->treeModel().indexOf(MemoEntry);
        view.scrollTo(memo);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(memo).center());
        QCOMPARE(VisibleFrames(*window_), QStringList{QStringLiteral("Memo")});
        QCOMPARE(window_->selectedNode(), std::optional<NodeId>(MemoEntry));
        // Clicking the selected node again handles it again.
        window_->ResetPanes();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(memo).center());
        QCOMPARE(VisibleFrames(*window_), QStringList{QStringLiteral("Memo")});
    }

    void rootAndDatabaseNodesShowNoPane() {
        open(backup_);
        for (NodeId node :
             {NodeId{ServiceEntry}, NodeId{0}, NodeId{ServiceEntry}, NodeId{SmsDb},
              NodeId{ServiceEntry}, NodeId{MemosDb}, NodeId{ServiceEntry}, NodeId{ServiceBookDb}}) {
            select(node);
            if (node == ServiceEntry) {
                QVERIFY(window_->mservicebook()->isVisible());
                continue;
            }
            QVERIFY(VisibleFrames(*window_).isEmpty());
            QVERIFY2(!window_->mservicebook()->isVisible(), qPrintable(QString::number(node)));
        }
    }

    void serviceBookMenuFollowsTheSelection() {
        open(backup_);
        select(ServiceEntry);
        QVERIFY(window_->mservicebook()->isVisible());
        QVERIFY(window_->mEdit()->isVisible());
        const auto texts = window_->serviceBookTexts();
        QCOMPARE(texts[17], QStringLiteral("WAP Transport"));
        QCOMPARE(texts[10], QStringLiteral("80"));
        select(MemoEntry);
        QVERIFY(!window_->mservicebook()->isVisible());
        select(ServiceEntry);
        QVERIFY(window_->mservicebook()->isVisible());
        select(MissedCall);
        QVERIFY(!window_->mservicebook()->isVisible());
    }

    void aContactPhotoIsShownAndItsFileRemoved() {
        open(backup_);
        select(Contact);
        QLabel* picture = window_->panes().picture();
        QVERIFY(!picture->pixmap().isNull());
        QDir pictures(fakes_->platform.pictureFolder);
        QVERIFY(pictures.entryList({QStringLiteral("*.jpg")}, QDir::Files).isEmpty());
        // A contact without a photo shows an empty box.
        select(ContactAll);
        QVERIFY(picture->pixmap().isNull());
    }

    void aPhotoThatDoesNotLoadStillShowsTheContact() {
        IpdBuilder ipd;
        auto book = ipd.database("Address Book");
        ipd.record(book, FieldList()
                             .text(33, "Broken Photo Ltd")
                             .add(77, Raw({0xFF, 0xD8, 0xFF, 0xE0, 1, 2}))
                             .bytes());
        open(WriteBackup(dir_, QStringLiteral("badphoto.ipd"), ipd.build()));
        select(window_->tree().recordNode(0));
        QCOMPARE(VisibleFrames(*window_), QStringList{QStringLiteral("Contacts")});
        QCOMPARE(Field(*window_, QStringLiteral("ct(3)")), QStringLiteral("Broken Photo Ltd"));
        QVERIFY(window_->panes().picture()->pixmap().isNull());
        QVERIFY(QDir(fakes_->platform.pictureFolder)
                    .entryList({QStringLiteral("*.jpg")}, QDir::Files)
                    .isEmpty());
    }

    void valueFieldsUseAnArabicFont() {
        const QFont font = window_->findChild<QLineEdit*>(QStringLiteral("ct(1)"))->font();
        QCOMPARE(font.pointSize(), 12);
        QCOMPARE(font.family(), ValueFont().family());
        QVERIFY(window_->findChild<QPlainTextEdit*>(QStringLiteral("msg_text")) != nullptr);
        for (const char* name : {"ct(31)", "ct(34)", "ct(40)", "ct(45)", "msg_text"}) {
            QVERIFY2(window_->findChild<QPlainTextEdit*>(QString::fromLatin1(name)), name);
        }
        auto* tabs = window_->findChild<QTabWidget*>(QStringLiteral("ctab"));
        QCOMPARE(tabs->count(), 5);
        QCOMPARE(tabs->tabText(1), QStringLiteral("Phone Numbers"));
        for (int i = 0; i < 22; ++i) {
            QVERIFY(window_->findChild<QLineEdit*>(QStringLiteral("hrtnet(%1)").arg(i)) != nullptr);
        }
    }

    void labelsAreEditedInPlaceWhenEveryCharacterHasACode() {
        open(backup_);
        auto& model = window_->treeModel();
        QModelIndex memo = model.indexOf(MemoEntry);
        QVERIFY(model.flags(memo) & Qt::ItemIsEditable);
        QVERIFY(model.setData(memo, QString::fromUtf8("\u0645\u0630\u0643\u0631\u0629 1")));
        QCOMPARE(memo.data().toString(), QString::fromUtf8("\u0645\u0630\u0643\u0631\u0629 1"));
        QCOMPARE(window_->tree().text(MemoEntry), std::string("\xE3\xD0\xDF\xD1\xC9 1"));
        QVERIFY(!model.setData(memo, QString::fromUtf8("\u4E2D")));
        QCOMPARE(memo.data().toString(), QString::fromUtf8("\u0645\u0630\u0643\u0631\u0629 1"));
        // A database renamed by the user no longer names a decoder.
        QVERIFY(model.setData(model.indexOf(MemosDb), QStringLiteral("Notes")));
        select(MemoEntry);
        QVERIFY(VisibleFrames(*window_).isEmpty());
    }

    void aSecondOpenWhileLoadingWins() {
        IpdBuilder ipd;
        ipd.database("Memos");
        const QString small = WriteBackup(dir_, QStringLiteral("small.ipd"), ipd.build());
        QSignalSpy finished(window_.get(), &FrmMain::openFinished);
        window_->openPath(backup_);
        window_->openPath(small);
        window_->waitForOpen();
        QTest::qWait(50);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(window_->openedPath(), small);
        QCOMPARE(window_->tree().nodeCount(), std::size_t{2});
    }

    void aDroppedBackupOpens() {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(backup_)});
        QDragEnterEvent accepted(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window_.get(), &accepted);
        QVERIFY(accepted.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window_.get(), &drop);
        window_->waitForOpen();
        QCOMPARE(window_->openedPath(), backup_);
        QMimeData text;
        text.setUrls({QUrl::fromLocalFile(dir_.filePath(QStringLiteral("notes.txt")))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window_.get(), &enter);
        QVERIFY(!enter.isAccepted());
    }

    // Every pane fits the window at its first size: no scroll bar, no field squeezed below its
    // height. With ORRELIN_SHOT_DIR set the window is saved as a picture per pane.
    void everyPaneFitsTheDefaultWindow() {
        if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
            QSKIP("the offscreen screen is smaller than the default window: run under Xvfb");
        }
        open(backup_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        auto* area = window_->findChild<QScrollArea*>(QStringLiteral("paneArea"));
        QVERIFY(area);
        const QString shots = qEnvironmentVariable("ORRELIN_SHOT_DIR");
        auto* tabs = window_->findChild<QTabWidget*>(QStringLiteral("ctab"));
        for (NodeId node : {NodeId{SentSms}, NodeId{Contact}, NodeId{MemoEntry}, NodeId{TaskEntry},
                            NodeId{Appointment}, NodeId{ServiceEntry}, NodeId{PlacedCall}}) {
            for (int tab = 0; tab < (node == Contact ? tabs->count() : 1); ++tab) {
                select(node);
                if (node == Contact) tabs->setCurrentIndex(tab);
                QApplication::processEvents();
                const QString name = VisibleFrames(*window_).join(QString()) + QString::number(tab);
                QVERIFY2(area->verticalScrollBar()->maximum() == 0, qPrintable(name));
                QVERIFY2(area->horizontalScrollBar()->maximum() == 0, qPrintable(name));
                for (QLineEdit* field : window_->findChildren<QLineEdit*>()) {
                    if (!field->isVisible()) continue;
                    QVERIFY2(field->height() >= field->sizeHint().height(),
                             qPrintable(field->objectName()));
                }
                if (!shots.isEmpty())
                    window_->grab().save(shots + QLatin1Char('/') + name + QStringLiteral(".png"));
            }
        }
        // The export panel with its five format buttons in one row.
        select(NodeId{PlacedCall});
        window_->mExport()->trigger();
        QApplication::processEvents();
        QVERIFY(window_->exportPanel().isVisible());
        QVERIFY2(area->horizontalScrollBar()->maximum() == 0, "export panel");
        QVERIFY2(area->verticalScrollBar()->maximum() == 0, "export panel");
        if (!shots.isEmpty()) window_->grab().save(shots + QStringLiteral("/export.png"));
    }

    void splitWithTheRootAloneDoesNothing() {
        window_->mSplit_Click();
        QVERIFY(fakes_->messages.shown.empty());
    }

    // Split shows a window over the loaded file; Open closes it, so the next Split shows the
    // file loaded since rather than a stale copy.
    void openClosesTheSplitWindowAndSplitFollowsTheNewFile() {
        const QString other =
            WriteBackup(dir_, QStringLiteral("other for split.ipd"), EveryKindBackup());
        open(backup_);
        window_->mSplit()->trigger();
        QPointer<FrmSplit> split = window_->findChild<FrmSplit*>();
        QVERIFY(split);
        QVERIFY(split->isVisible());
        QCOMPARE(QString::fromStdString(split->checkTree().tree().path()), backup_);

        open(other);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(split.isNull());
        window_->mSplit()->trigger();
        split = window_->findChild<FrmSplit*>();
        QVERIFY(split);
        QCOMPARE(QString::fromStdString(split->checkTree().tree().path()), other);
    }

    // Merge's window stands on its own: it outlives the main window and still writes, then
    // knowing no opened file to protect but its own.
    void theMergeWindowOutlivesTheMainWindow() {
        open(backup_);
        window_->mMerge()->trigger();
        QPointer<FrmMerge> merge;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<FrmMerge*>(top)) merge = found;
        }
        QVERIFY(merge);
        QVERIFY(merge->parent() == nullptr);
        QVERIFY(merge->isVisible());
        window_->mMerge()->trigger();  // a second Merge raises the same window
        int merges = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            merges += qobject_cast<FrmMerge*>(top) && !top->testAttribute(Qt::WA_WState_Hidden);
        QCOMPARE(merges, 1);

        window_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(merge);
        merge->firstTree().toggleCheck(merge->firstTree().tree().databaseNode(0));
        const QString target = dir_.filePath(QStringLiteral("merged after close.ipd"));
        fakes_->files.saveAnswers.push_back(target);
        merge->btnMerge_Click();
        QVERIFY(QFile::exists(target));
        QVERIFY(!fakes_->messages.shown.empty());
        QCOMPARE(fakes_->messages.shown.back().icon, MessageIcon::Information);
        merge->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(merge.isNull());
    }

    void theWindowSizeIsRemembered() {
        window_->resize(700, 520);
        window_->show();
        window_->close();
        QCOMPARE(fakes_->settings.values.value(QStringLiteral("orrelin_beta/Window/size")),
                 QStringLiteral("700x520"));
        FrmMain again(fakes_->platform);
        QCOMPARE(again.size(), QSize(700, 520));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
