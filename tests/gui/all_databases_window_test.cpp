// Options > Show All Databases: off, the window is as it always was; on (and remembered), the
// tree holds every database and a record of one the program does not decode shows its fields.

#include <QAction>
#include <QTableWidget>
#include <QTest>

#include "every_kind_window.h"
#include "gui/browser/main_menus.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

namespace {

const QString kOptionKey = QStringLiteral("orrelin_beta/Options/showAllDatabases");

// "Folders" (not decoded, two records), "Memos" (one record).
ByteVector FoldersAndMemos() {
    IpdBuilder b;
    const auto folders = b.database("Folders");
    const auto memos = b.database("Memos");
    b.record(folders, FieldList().text(2, "Work", true).le(5, 0x0102, 2).bytes(), 4);
    b.record(memos, FieldList().text(1, "Groceries").bytes());
    b.record(folders, FieldList().add(7, {0x00, 0xFF}).bytes(), 9);
    return b.build();
}

// Each node's text, the records behind their database's name.
QStringList Texts(MainWindow& w) {
    QStringList texts;
    const BackupTree& tree = w.tree();
    for (std::size_t row = 0; row < tree.childCount(BackupTree::kRoot); ++row) {
        const NodeId database = tree.child(BackupTree::kRoot, row);
        texts << QString::fromStdString(tree.text(database));
        for (std::size_t r = 0; r < tree.childCount(database); ++r)
            texts << QStringLiteral("  ") +
                         QString::fromStdString(tree.text(tree.child(database, r)));
    }
    return texts;
}

QStringList Rows(const QTableWidget& table) {
    QStringList rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table.columnCount(); ++column)
            cells << table.item(row, column)->text();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

}  // namespace

class AllDatabasesWindowTest : public QObject, private WindowFixture {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY(prepare());
        folders_ = WriteBackup(dir_, QStringLiteral("folders.ipd"), FoldersAndMemos());
        QVERIFY(!folders_.isEmpty());
    }
    void init() { renew(); }
    void cleanup() { drop(); }

    void offByDefaultTheTreeAndCountsAreAsAlways() {
        MainWindow& w = open(folders_);
        QAction* option = w.menus().showAllDatabases;
        QCOMPARE(option->text(), QStringLiteral("Show All Databases"));
        QVERIFY(option->isCheckable());
        QVERIFY(!option->isChecked());
        QCOMPARE(Texts(w), (QStringList{QStringLiteral("Memos"), QStringLiteral("  Groceries")}));
        QCOMPARE(w.panelText(QStringLiteral("details")),
                 QStringLiteral("0 SMS Messages, 0 Address Book (All), 0 Tasks, 1 Memos, 0 "
                                "Calendar, 0 Phone Calls, 0 Service Book"));
        QVERIFY(!fakes_->settings.values.contains(kOptionKey));
    }

    void onTheTreeShowsEveryDatabaseAndARawRecordItsFields() {
        MainWindow& w = open(folders_);
        const QString counts = w.panelText(QStringLiteral("details"));
        w.menus().showAllDatabases->setChecked(true);
        w.waitForOpen();
        QCOMPARE(fakes_->settings.values.value(kOptionKey), QStringLiteral("1"));
        QCOMPARE(Texts(w), (QStringList{QStringLiteral("Folders"), QStringLiteral("  Work"),
                                        QStringLiteral("  Record 9"), QStringLiteral("Memos"),
                                        QStringLiteral("  Groceries")}));
        QCOMPARE(w.panelText(QStringLiteral("details")), counts);

        // Node ids: the two databases, then the records in file order.
        struct Case {
            NodeId node;
            QStringList frames;
            QStringList rows;
        };
        const Case cases[] = {
            {3,
             {QStringLiteral("rawPane")},
             {QStringLiteral("2|5|57 6F 72 6B 00|Work."), QStringLiteral("5|2|02 01|..")}},
            {5, {QStringLiteral("rawPane")}, {QStringLiteral("7|2|00 FF|..")}},
            {4, {QStringLiteral("memoPane")}, {}},
        };
        for (const Case& c : cases) {
            select(c.node);
            QCOMPARE(VisibleFrames(w), c.frames);
            if (!c.rows.isEmpty()) QCOMPARE(Rows(*w.panes().rawTable()), c.rows);
        }
        QCOMPARE(w.panes().rawTable()->horizontalHeaderItem(2)->text(), QStringLiteral("Hex"));

        w.menus().showAllDatabases->setChecked(false);
        w.waitForOpen();
        QCOMPARE(fakes_->settings.values.value(kOptionKey), QStringLiteral("0"));
        QCOMPARE(Texts(w), (QStringList{QStringLiteral("Memos"), QStringLiteral("  Groceries")}));
    }

    void theChoiceIsRememberedByTheNextWindow() {
        fakes_->settings.values[kOptionKey] = QStringLiteral("1");
        window_ = std::make_unique<MainWindow>(fakes_->platform);
        MainWindow& w = open(folders_);
        QVERIFY(w.menus().showAllDatabases->isChecked());
        QCOMPARE(Texts(w).first(), QStringLiteral("Folders"));
    }

  private:
    QString folders_;
};

QTEST_MAIN(AllDatabasesWindowTest)
#include "all_databases_window_test.moc"
