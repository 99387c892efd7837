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

#include "fakes.h"
#include "gui/splitmerge/check_tree_model.h"
#include "gui/splitmerge/frm_merge.h"
#include "gui/splitmerge/frm_split.h"
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
        FrmSplit window(fake.platform, tree_);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CheckTreeView& view = window.tvwTree();
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
        FrmSplit window(fake.platform, tree_);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CheckTreeView& view = window.tvwTree();
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
        FrmSplit window(fake.platform, tree_);
        QCOMPARE(window.windowTitle(), QStringLiteral("Split IPD file"));
        QCOMPARE(window.btnSplit().text(), QStringLiteral("Split Selected"));
        QCOMPARE(window.btnExit().text(), QStringLiteral("Exit"));

        window.btnSplit().click();  // cancelled dialog: nothing at all
        QCOMPARE(fake.files.saveFilters, QStringList{QStringLiteral("IPD Files (*.ipd)")});
        QVERIFY(fake.messages.shown.empty());

        window.tvwTree().checkModel().toggle(at(window.tvwTree(), {0, 2}));
        const QString target = dir_.filePath(QStringLiteral("split.ipd"));
        fake.files.saveAnswers.push_back(target);
        window.btnSplit().click();
        QCOMPARE(fake.messages.shown.size(), std::size_t{1});
        QCOMPARE(fake.messages.shown[0].icon, MessageIcon::Information);
        QCOMPARE(fake.messages.shown[0].title, QStringLiteral("Split is complete"));
        QCOMPARE(fake.messages.shown[0].text, QStringLiteral("File saved as ") + target);
        auto back = BackupTree::Open(LocalPath(target));
        QVERIFY(back.ok());
        QCOMPARE(back->childCount(BackupTree::kRoot), std::size_t{1});
        QCOMPARE(back->childCount(1), std::size_t{1});
    }

    void splitRefusesTheOpenedFileAndReportsFailures() {
        FakePlatform fake;
        FrmSplit window(fake.platform, tree_);
        const QByteArray before = ReadFile(source_);
        fake.files.saveAnswers = {source_, dir_.filePath(QStringLiteral("none/x.ipd"))};
        window.btnSplit().click();
        window.btnSplit().click();
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
        FrmMerge window(fake.platform, tree_, [] { return QString(); });
        QCOMPARE(window.windowTitle(), QStringLiteral("Merge IPD files"));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Merge the IPD files"));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("Label3"))->text(),
                 QStringLiteral("Choose second IPD file"));
        QVERIFY(window.findChild<QLabel*>(QStringLiteral("Label2"))
                    ->text()
                    .startsWith(QStringLiteral("You can use this form for both merging 2 IPDs")));
        QCOMPARE(window.btnMerge().text(), QStringLiteral("Merge Selected"));
        QCOMPARE(window.smBrowse().text(), QStringLiteral("..."));

        window.smBrowse().click();  // cancelled: no second file
        QVERIFY(window.secondTree() == nullptr);
        fake.files.openAnswers.push_back(source_);
        window.smBrowse().click();
        QCOMPARE(fake.files.openFilters.last(), QStringLiteral("IPD Files (*.ipd)"));
        QCOMPARE(window.smIPD().text(), source_);
        QVERIFY(window.secondTree() != nullptr);
        QCOMPARE(window.tvwsTree().model()->rowCount(), 1);

        window.tvwfTree().checkModel().toggle(at(window.tvwfTree(), {0}));
        window.tvwsTree().checkModel().toggle(at(window.tvwsTree(), {0, 1}));
        const QString target = dir_.filePath(QStringLiteral("merged.ipd"));
        fake.files.saveAnswers.push_back(target);
        window.btnMerge().click();
        QCOMPARE(fake.messages.shown.size(), std::size_t{1});
        QCOMPARE(fake.messages.shown[0].icon, MessageIcon::Information);
        QCOMPARE(fake.messages.shown[0].title, QStringLiteral(" merging completed successfully"));
        QCOMPARE(fake.messages.shown[0].text, QStringLiteral("File saved as ") + target);
        auto back = BackupTree::Open(LocalPath(target));
        QVERIFY(back.ok());
        QCOMPARE(back->childCount(1), std::size_t{4});
    }

    void mergeRefusesEitherOpenedFileAndAnUnreadableSecondFile() {
        FakePlatform fake;
        const QString other = dir_.filePath(QStringLiteral("main-now.ipd"));
        QFile::copy(source_, other);
        FrmMerge window(fake.platform, tree_, [other] { return other; });
        fake.files.openAnswers.push_back(dir_.filePath(QStringLiteral("missing.ipd")));
        window.smBrowse().click();
        QCOMPARE(fake.messages.shown.size(), std::size_t{1});
        QCOMPARE(fake.messages.shown[0].icon, MessageIcon::Warning);
        QVERIFY(window.secondTree() == nullptr);

        const QByteArray before = ReadFile(other);
        fake.files.saveAnswers = {source_, other};
        window.btnMerge().click();
        window.btnMerge().click();
        QCOMPARE(fake.messages.shown.size(), std::size_t{3});
        QCOMPARE(fake.messages.shown[1].icon, MessageIcon::Warning);
        QCOMPARE(fake.messages.shown[2].icon, MessageIcon::Warning);
        QCOMPARE(ReadFile(other), before);
    }
};

QTEST_MAIN(SplitMergeTest)
#include "splitmerge_test.moc"
