// The search field above the main window's tree: filtering, match counts, stepping through
// the matches, and the tree given back as it was.

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <memory>

#include "every_kind_window.h"
#include "fakes.h"
#include "gui/browser/find_bar.h"
#include "gui/browser/main_window.h"
#include "gui/browser/tree_model.h"
#include "test_backups.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

class FindBarTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString backup_;
    std::unique_ptr<FakePlatform> fakes_;
    std::unique_ptr<MainWindow> window_;

    FindBar& bar() { return window_->findBar(); }
    BackupTreeModel& model() { return window_->treeModel(); }
    QModelIndex root() { return model().index(0, 0); }

    void open() {
        window_->openPath(backup_);
        window_->waitForOpen();
    }
    void waitForIndex() {
        if (!bar().indexReady()) {
            QSignalSpy built(&bar(), &FindBar::indexBuilt);
            QVERIFY(built.wait(10000));
        }
    }
    // Types the text and waits for the tree to be filtered.
    void search(const QString& text) {
        QSignalSpy searched(&bar(), &FindBar::searched);
        bar().field().setText(text);
        QVERIFY(searched.wait(10000));
    }
    QStringList databaseTexts() {
        QStringList texts;
        for (int row = 0; row < model().rowCount(root()); ++row)
            texts << model().index(row, 0, root()).data().toString();
        return texts;
    }
    std::optional<NodeId> current() { return window_->selectedNode(); }

  private Q_SLOTS:
    void initTestCase() {
        qputenv("LC_ALL", "C");
        QVERIFY(dir_.isValid());
        backup_ = WriteBackup(dir_, QStringLiteral("every kind.ipd"), EveryKindBackup());
        QVERIFY(!backup_.isEmpty());
    }

    void init() {
        fakes_ = std::make_unique<FakePlatform>();
        window_ = std::make_unique<MainWindow>(fakes_->platform);
        open();
    }

    void cleanup() {
        window_.reset();
        fakes_.reset();
    }

    void filtersToMatchingRecordsWithCounts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("databases");
        QTest::addColumn<QString>("status");
        QTest::newRow("digits") << QStringLiteral("555")
                                << QStringList{QStringLiteral("SMS Messages (2)"),
                                               QStringLiteral("Phone Call Logs (2)")}
                                << QStringLiteral("4 matches");
        QTest::newRow("case and label")
            << QStringLiteral("OMAR") << QStringList{QStringLiteral("Phone Call Logs (1)")}
            << QStringLiteral("1 match");
        QTest::newRow("Arabic") << QString::fromUtf8("\xD8\xB3\xD9\x84\xD9\x85\xD9\x89")
                                << QStringList{QStringLiteral("Address Book - All (1)"),
                                               QStringLiteral("Address Book (1)")}
                                << QStringLiteral("2 matches");
        QTest::newRow("phone punctuation") << QStringLiteral("9611234")
                                           << QStringList{QStringLiteral("Address Book - All (1)"),
                                                          QStringLiteral("Address Book (1)")}
                                           << QStringLiteral("2 matches");
        QTest::newRow("none") << QStringLiteral("zzz") << QStringList{}
                              << QStringLiteral("No matches");
    }
    void filtersToMatchingRecordsWithCounts() {
        QFETCH(QString, text);
        QFETCH(QStringList, databases);
        QFETCH(QString, status);
        waitForIndex();
        QAbstractItemModelTester tester(&model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        search(text);
        QCOMPARE(databaseTexts(), databases);
        QCOMPARE(bar().statusLabel().text(), status);
        QVERIFY(!bar().statusLabel().isHidden());
        for (int row = 0; row < model().rowCount(root()); ++row)
            QVERIFY(window_->treeView().isExpanded(model().index(row, 0, root())));
    }

    void aSearchBeforeTheIndexIsReadyWaitsWithProgress() {
        QVERIFY(!bar().indexReady());
        bar().field().setText(QStringLiteral("omar"));
        bar().searchNow();
        QVERIFY(bar().statusLabel().text().startsWith(QStringLiteral("Indexing: ")));
        QCOMPARE(model().rowCount(root()), 9);
        QSignalSpy searched(&bar(), &FindBar::searched);
        QVERIFY(searched.wait(10000));
        QCOMPARE(databaseTexts(), QStringList{QStringLiteral("Phone Call Logs (1)")});
    }

    void enterAndF3StepThroughTheMatchesShowingTheirPanes() {
        waitForIndex();
        search(QStringLiteral("555"));
        QTest::keyClick(&bar().field(), Qt::Key_Return);
        QCOMPARE(current(), std::optional<NodeId>(SentSms));
        QVERIFY(!VisibleFrames(*window_).isEmpty());
        for (NodeId next : {ReceivedSms, PlacedCall, MissedCall, SentSms}) {
            bar().nextMatch();
            QCOMPARE(current(), std::optional<NodeId>(next));
        }
        bar().previousMatch();
        QCOMPARE(current(), std::optional<NodeId>(MissedCall));
        QCOMPARE(Field(*window_, QStringLiteral("callNumber")), QStringLiteral("5551111"));
    }

    void shortcutsFocusAndEmptyTheField() {
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        window_->treeView().setFocus();
        QTest::keyClick(&window_->treeView(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(bar().field().hasFocus());
        waitForIndex();
        search(QStringLiteral("555"));
        QTest::keyClick(&window_->treeView(), Qt::Key_F3);
        QCOMPARE(current(), std::optional<NodeId>(SentSms));
        QTest::keyClick(&bar().field(), Qt::Key_Escape);
        QCOMPARE(bar().field().text(), QString());
        QCOMPARE(model().rowCount(root()), 9);
    }

    void clearingGivesBackExpansionAndSelection() {
        waitForIndex();
        QTreeView& view = window_->treeView();
        view.expand(model().indexOf(MemosDb));
        view.setCurrentIndex(model().indexOf(MemoEntry));
        search(QStringLiteral("omar"));
        QVERIFY(!current());  // the memo is not among the matches
        bar().clear();
        QCOMPARE(model().rowCount(root()), 9);
        QCOMPARE(model().indexOf(MemosDb).data().toString(), QStringLiteral("Memos"));
        QCOMPARE(current(), std::optional<NodeId>(MemoEntry));
        for (NodeId db = SmsDb; db <= CallsDb; ++db)
            QCOMPARE(view.isExpanded(model().indexOf(db)), db == MemosDb);
        QVERIFY(bar().statusLabel().isHidden());
    }

    void aMatchChosenStaysChosenWhenCleared() {
        waitForIndex();
        QTreeView& view = window_->treeView();
        view.expand(model().indexOf(MemosDb));
        view.setCurrentIndex(model().indexOf(MemoEntry));
        search(QStringLiteral("omar"));
        bar().nextMatch();
        QCOMPARE(current(), std::optional<NodeId>(PlacedCall));
        bar().clear();
        QCOMPARE(current(), std::optional<NodeId>(PlacedCall));
        QVERIFY(view.isExpanded(model().indexOf(MemosDb)));
        QVERIFY(view.isExpanded(model().indexOf(CallsDb)));
        QVERIFY(!view.isExpanded(model().indexOf(SmsDb)));
    }

    void anotherOpenDropsTheSearch() {
        waitForIndex();
        search(QStringLiteral("omar"));
        open();
        QCOMPARE(bar().field().text(), QString());
        QCOMPARE(model().rowCount(root()), 9);
        QVERIFY(bar().statusLabel().isHidden());
        waitForIndex();
        search(QStringLiteral("omar"));
        QCOMPARE(databaseTexts(), QStringList{QStringLiteral("Phone Call Logs (1)")});
    }
};

QTEST_MAIN(FindBarTest)
#include "find_bar_test.moc"
