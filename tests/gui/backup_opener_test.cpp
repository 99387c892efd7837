// Opening in the background, without a window: the outcome, a newer open overtaking an older
// one, cancelling, and progress.

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "gui/browser/backup_opener.h"
#include "test_backups.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

class BackupOpenerTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString backup_;
    QString large_;

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        backup_ = WriteBackup(dir_, QStringLiteral("every kind.ipd"), EveryKindBackup());
        // Enough records that the walk is still going when progress is first asked for.
        IpdBuilder ipd;
        auto memos = ipd.database("Memos");
        for (int i = 0; i < 200000; ++i)
            ipd.record(memos, FieldList().text(1, "Memo").bytes());
        large_ = WriteBackup(dir_, QStringLiteral("large.ipd"), ipd.build());
        QVERIFY(!backup_.isEmpty() && !large_.isEmpty());
    }

    void aFileOpensWithItsTree() {
        BackupOpener opener;
        QSignalSpy finished(&opener, &BackupOpener::finished);
        opener.open(backup_);
        QVERIFY(opener.isBusy());
        QCOMPARE(opener.path(), backup_);
        QVERIFY(finished.wait(10000));
        QVERIFY(!opener.isBusy());
        BackupOpener::Outcome outcome = opener.takeOutcome();
        QCOMPARE(outcome.path, backup_);
        QVERIFY(outcome.tree);
        QCOMPARE(outcome.tree->nodeCount(), std::size_t{21});
        QVERIFY(outcome.error.isEmpty());
        QVERIFY(!opener.takeOutcome().tree);  // taken once
    }

    void aFileThatCannotBeReadSaysWhy() {
        BackupOpener opener;
        QSignalSpy finished(&opener, &BackupOpener::finished);
        opener.open(dir_.filePath(QStringLiteral("missing.ipd")));
        QVERIFY(finished.wait(10000));
        BackupOpener::Outcome outcome = opener.takeOutcome();
        QVERIFY(!outcome.tree);
        QVERIFY2(outcome.error.contains(QStringLiteral("No such file")), qPrintable(outcome.error));
    }

    void aNewerOpenOvertakesAnOlderOne() {
        BackupOpener opener;
        QSignalSpy finished(&opener, &BackupOpener::finished);
        opener.open(large_);
        opener.open(backup_);
        QVERIFY(finished.wait(10000));
        QTest::qWait(200);  // the older open, had it reported, would have by now
        QCOMPARE(finished.count(), 1);
        QCOMPARE(opener.takeOutcome().path, backup_);
    }

    void aCancelledOpenReportsNothing() {
        BackupOpener opener;
        QSignalSpy finished(&opener, &BackupOpener::finished);
        opener.open(large_);
        opener.cancel();
        QVERIFY(!opener.isBusy());
        QVERIFY(opener.path().isEmpty());
        QVERIFY(!finished.wait(500));
    }

    void progressIsReportedWhileTheFileIsWalked() {
        BackupOpener opener;
        opener.setProgressTiming(0, 1);
        QSignalSpy progressed(&opener, &BackupOpener::progressed);
        QSignalSpy finished(&opener, &BackupOpener::finished);
        opener.open(large_);
        QVERIFY(finished.wait(20000));
        QVERIFY(!progressed.isEmpty());
        for (const QList<QVariant>& report : progressed) {
            QCOMPARE(report.at(0).toString(), large_);
            const int percent = report.at(1).toInt();
            QVERIFY2(percent >= -1 && percent <= 100, qPrintable(QString::number(percent)));
        }
        QCOMPARE(opener.takeOutcome().tree->nodeCount(), std::size_t{2 + 200000});
    }
};

QTEST_GUILESS_MAIN(BackupOpenerTest)
#include "backup_opener_test.moc"
