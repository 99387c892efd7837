// The split and merge windows, offscreen: the check trees' clicks and keys, the captions, the
// dialogs and messages, and the files written.

#include <QAbstractItemModelTester>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "archive/bbb_builder.h"
#include "fakes.h"
#include "gui/splitmerge/check_tree_model.h"
#include "gui/splitmerge/merge_window.h"
#include "gui/splitmerge/split_window.h"
#include "gui/splitmerge/write_progress.h"
#include "ipd/ipd_builder.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

namespace {

// Memos (three records) and an empty Tasks database.
ByteVector SmallBackup() {
    IpdBuilder b;
    auto memos = b.database("Memos");
    b.database("Tasks");
    for (const char* title : {"one", "two", "three"}) {
        b.record(memos, FieldList().text(1, title, true).bytes(), 9, 0x11);
    }
    return b.build();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class SplitMergeTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir dir_;
    QString source_;
    BackupTree tree_;

    QString key(CheckTreeView& view, const QModelIndex& index) {
        return view.model()->data(index, CheckTreeModel::kStateKeyRole).toString();
    }
    QModelIndex at(CheckTreeView& view, std::initializer_list<int> rows) {
        QModelIndex index = view.model()->index(0, 0);
        for (int row : rows)
            index = view.model()->index(row, 0, index);
        return index;
    }
    void clickState(CheckTreeView& view, const QModelIndex& index) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.stateImageRect(index).center());
    }
    void clickLabel(CheckTreeView& view, const QModelIndex& index) {
        const QRect item = view.visualRect(index);
        const QRect state = view.stateImageRect(index);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          QPoint(state.right() + 12, item.center().y()));
    }

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        source_ = dir_.filePath(QStringLiteral("source.ipd"));
        const ByteVector bytes = SmallBackup();
        QFile file(source_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        file.close();
        auto opened = BackupTree::Open(LocalPath(source_));
        QVERIFY2(opened.ok(), opened.ok() ? "" : opened.error().c_str());
        tree_ = *opened;
    }

    void modelIsAProperTreeModel() {
        CheckTree tree(tree_);
        CheckTreeModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setTree(&tree);
        QCOMPARE(model.rowCount(), 1);
        const QModelIndex root = model.index(0, 0);
        QCOMPARE(model.data(root, Qt::DisplayRole).toString(), source_);
        QCOMPARE(model.rowCount(root), 2);
        QCOMPARE(model.data(model.index(1, 0, root), Qt::DisplayRole).toString(),
                 QStringLiteral("Tasks"));
        // The state image is drawn, not just named: an unchecked and a partly checked root differ.
        const QImage unchecked =
            model.data(root, Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage();
        QVERIFY(!unchecked.isNull());
        model.toggle(model.index(0, 0, model.index(0, 0, root)));
        const QImage some =
            model.data(root, Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage();
        QVERIFY(!some.isNull());
        QVERIFY(some != unchecked);
        QCOMPARE(model.data(root, CheckTreeModel::kStateKeyRole).toString(),
                 QStringLiteral("Some"));
    }

    void onlyAClickOnTheStateImageToggles() {
        FakePlatform fake;
        SplitWindow window(fake.platform, tree_);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CheckTreeView& view = window.checkTreeView();
        const QModelIndex record = at(view, {0, 1});
        QVERIFY(view.visualRect(record).isValid());  // every node starts expanded
        QCOMPARE(key(view, record), QStringLiteral("None"));

        clickLabel(view, record);
        QCOMPARE(view.currentIndex(), record);
        QCOMPARE(key(view, record), QStringLiteral("None"));

        clickState(view, record);
        QCOMPARE(key(view, record), QStringLiteral("All"));
        QCOMPARE(key(view, at(view, {0})), QStringLiteral("Some"));
        QCOMPARE(key(view, at(view, {})), QStringLiteral("Some"));

        clickState(view, at(view, {1}));  // the empty database stays unchecked
        QCOMPARE(key(view, at(view, {1})), QStringLiteral("None"));
    }

    void spaceTogglesAndTypedLettersAreConsumed() {
        FakePlatform fake;
        SplitWindow window(fake.platform, tree_);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CheckTreeView& view = window.checkTreeView();
        view.setFocus();
        view.setCurrentIndex(at(view, {0}));
        QTest::keyClick(&view, Qt::Key_Space);
        QCOMPARE(key(view, at(view, {0})), QStringLiteral("All"));
        QCOMPARE(key(view, at(view, {0, 2})), QStringLiteral("All"));

        // "t" would jump to "two" or "Tasks" in a plain tree.
        QTest::keyClicks(&view, QStringLiteral("tT"));
        QCOMPARE(view.currentIndex(), at(view, {0}));
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.currentIndex(), at(view, {0, 0}));
        QTest::keyClick(&view, Qt::Key_Space);
        QCOMPARE(key(view, at(view, {0, 0})), QStringLiteral("None"));
        QCOMPARE(key(view, at(view, {0})), QStringLiteral("Some"));
    }

    void splitWritesTheCheckedRecordsAndConfirms() {
        FakePlatform fake;
        SplitWindow window(fake.platform, tree_);
        QCOMPARE(window.windowTitle(), QStringLiteral("Split IPD file"));
        QCOMPARE(window.splitButton().text(), QStringLiteral("Split Selected"));
        QCOMPARE(window.exitButton().text(), QStringLiteral("Exit"));

        window.splitButton().click();  // cancelled dialog: nothing at all
        QCOMPARE(fake.files.saveFilters, QStringList{QStringLiteral("IPD Files (*.ipd)")});
        // The dialog starts beside the backup, not in the folder the program was started in.
        QCOMPARE(fake.files.saveFolders, QStringList{dir_.path()});
        QVERIFY(fake.messages.shown.empty());

        window.checkTreeView().checkModel().toggle(at(window.checkTreeView(), {0, 2}));
        const QString target = dir_.filePath(QStringLiteral("split.ipd"));
        fake.files.saveAnswers.push_back(target);
        window.splitButton().click();
        QCOMPARE(fake.messages.shown.size(), std::size_t{1});
        QCOMPARE(fake.messages.shown[0].icon, MessageIcon::Information);
        QCOMPARE(fake.messages.shown[0].title, QStringLiteral("Split is complete"));
        QCOMPARE(fake.messages.shown[0].text, QStringLiteral("File saved as ") + target);
        auto back = BackupTree::Open(LocalPath(target));
        QVERIFY(back.ok());
        QCOMPARE(back->childCount(BackupTree::kRoot), std::size_t{1});
        QCOMPARE(back->childCount(1), std::size_t{1});
    }

    // A name typed without an extension is written as an IPD file; one with an extension keeps
    // it.
    void aSavedNameWithoutAnExtensionGetsIpd() {
        FakePlatform fake;
        SplitWindow window(fake.platform, tree_);
        for (const auto& [typed, written] :
             {std::pair{"split1", "split1.ipd"}, std::pair{"split2.bak", "split2.bak"}}) {
            fake.files.saveAnswers.push_back(dir_.filePath(QString::fromLatin1(typed)));
            window.splitButton().click();
            QVERIFY2(QFile::exists(dir_.filePath(QString::fromLatin1(written))), written);
        }
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("split1"))));
    }

    void splitRefusesTheOpenedFileAndReportsFailures() {
        FakePlatform fake;
        SplitWindow window(fake.platform, tree_);
        const QByteArray before = ReadFile(source_);
        fake.files.saveAnswers = {source_, dir_.filePath(QStringLiteral("none/x.ipd"))};
        window.splitButton().click();
        window.splitButton().click();
        QCOMPARE(fake.messages.shown.size(), std::size_t{2});
        QCOMPARE(fake.messages.shown[0].icon, MessageIcon::Warning);
        QVERIFY(fake.messages.shown[0].text.contains(source_));
        QCOMPARE(fake.messages.shown[1].icon, MessageIcon::Critical);
        QVERIFY(fake.messages.shown[1].text.contains(dir_.filePath(QStringLiteral("none/x.ipd"))));
        QCOMPARE(ReadFile(source_), before);
    }

    void progressAppearsAfterHalfASecondAndCancels() {
        WriteProgress progress(nullptr, QStringLiteral("Splitting..."));
        ProgressCallback callback = progress.callback();
        QVERIFY(callback(0, 100));
        QVERIFY(!progress.dialog().isVisible());
        QTest::qWait(WriteProgress::kShowAfterMs + 150);
        QVERIFY(callback(10, 100));
        QVERIFY(progress.dialog().isVisible());
        progress.dialog().cancel();
        QVERIFY(!callback(20, 100));
    }

    void mergeLoadsASecondFileAndWritesBoth() {
        FakePlatform fake;
        MergeWindow window(fake.platform, tree_, [] { return QString(); });
        QCOMPARE(window.windowTitle(), QStringLiteral("Merge IPD files"));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("titleLabel"))->text(),
                 QStringLiteral("Merge the IPD files"));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("secondFileLabel"))->text(),
                 QStringLiteral("Choose second IPD file"));
        QVERIFY(window.findChild<QLabel*>(QStringLiteral("hintLabel"))
                    ->text()
                    .startsWith(QStringLiteral("You can use this form for both merging 2 IPDs")));
        QCOMPARE(window.mergeButton().text(), QStringLiteral("Merge Selected"));
        QCOMPARE(window.browseButton().text(), QStringLiteral("..."));

        window.browseButton().click();  // cancelled: no second file
        QVERIFY(window.secondTree() == nullptr);
        fake.files.openAnswers.push_back(source_);
        window.browseButton().click();
        QCOMPARE(fake.files.openFilters.last(), QStringLiteral("BlackBerry backups (*.ipd *.bbb)"));
        QCOMPARE(window.secondPathField().text(), source_);
        QVERIFY(window.secondTree() != nullptr);
        QCOMPARE(window.secondTreeView().model()->rowCount(), 1);

        window.firstTreeView().checkModel().toggle(at(window.firstTreeView(), {0}));
        window.secondTreeView().checkModel().toggle(at(window.secondTreeView(), {0, 1}));
        const QString target = dir_.filePath(QStringLiteral("merged.ipd"));
        fake.files.saveAnswers.push_back(target);
        window.mergeButton().click();
        QCOMPARE(fake.files.saveFolders, QStringList{dir_.path()});
        QCOMPARE(fake.messages.shown.size(), std::size_t{1});
        QCOMPARE(fake.messages.shown[0].icon, MessageIcon::Information);
        QCOMPARE(fake.messages.shown[0].title, QStringLiteral(" merging completed successfully"));
        QCOMPARE(fake.messages.shown[0].text, QStringLiteral("File saved as ") + target);
        auto back = BackupTree::Open(LocalPath(target));
        QVERIFY(back.ok());
        QCOMPARE(back->childCount(1), std::size_t{4});
    }

    // A path typed in the second file's field is read on Enter, or by Merge Selected, which
    // then leaves its records to be marked.
    void aTypedSecondPathIsRead() {
        FakePlatform fake;
        MergeWindow window(fake.platform, tree_, [] { return QString(); });
        QTest::keyClicks(&window.secondPathField(), source_);
        QTest::keyClick(&window.secondPathField(), Qt::Key_Return);
        QVERIFY(window.secondTree() != nullptr);

        window.secondPathField().setText(dir_.filePath(QStringLiteral("missing.ipd")));
        window.mergeButton().click();
        QVERIFY(window.secondTree() == nullptr);
        QCOMPARE(fake.messages.shown.size(), std::size_t{1});
        QVERIFY(fake.files.saveFilters.isEmpty());
    }

    void mergeOpensAnArchiveAndTellsItsWarnings() {
        std::vector<SingleDatabase> databases = SplitByDatabase(SmallBackup());
        databases[0].records = 9;  // the manifest miscounts the memos
        auto zip = WriteZip(DesktopSoftwareEntries(std::move(databases)));
        QVERIFY(zip.ok());
        const QString archive = dir_.filePath(QStringLiteral("second.bbb"));
        QFile out(archive);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(reinterpret_cast<const char*>(zip->data()), static_cast<qint64>(zip->size()));
        out.close();

        FakePlatform fake;
        MergeWindow window(fake.platform, tree_, [] { return QString(); });
        fake.files.openAnswers.push_back(archive);
        window.browseButton().click();
        QVERIFY(window.secondTree() != nullptr);
        QCOMPARE(window.secondTreeView().model()->rowCount(), 1);
        QCOMPARE(fake.messages.shown.size(), std::size_t{1});
        QCOMPARE(fake.messages.shown[0].icon, MessageIcon::Warning);
        QVERIFY(fake.messages.shown[0].text.startsWith(archive +
                                                       QStringLiteral(": Manifest.xml counts 9")));
    }

    void mergeRefusesEitherOpenedFileAndAnUnreadableSecondFile() {
        FakePlatform fake;
        const QString other = dir_.filePath(QStringLiteral("main-now.ipd"));
        QFile::copy(source_, other);
        MergeWindow window(fake.platform, tree_, [other] { return other; });
        fake.files.openAnswers.push_back(dir_.filePath(QStringLiteral("missing.ipd")));
        window.browseButton().click();
        QCOMPARE(fake.messages.shown.size(), std::size_t{1});
        QCOMPARE(fake.messages.shown[0].icon, MessageIcon::Warning);
        QVERIFY(window.secondTree() == nullptr);

        const QByteArray before = ReadFile(other);
        fake.files.saveAnswers = {source_, other};
        window.mergeButton().click();
        window.mergeButton().click();
        QCOMPARE(fake.messages.shown.size(), std::size_t{3});
        QCOMPARE(fake.messages.shown[1].icon, MessageIcon::Warning);
        QCOMPARE(fake.messages.shown[2].icon, MessageIcon::Warning);
        QCOMPARE(ReadFile(other), before);
    }
};

QTEST_MAIN(SplitMergeTest)
#include "splitmerge_test.moc"
