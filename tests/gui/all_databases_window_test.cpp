// Options > Show All Databases: off, the window is as it always was; on (and remembered), the
// tree holds every database and a record of one the program does not decode shows its fields.
// Options > Show Raw Fields: a decoded record's fields below its pane (mail, bookmarks, time
// zones shown here).

#include <QAction>
#include <QTableWidget>
#include <QTest>

#include "every_kind_window.h"
#include "gui/browser/main_menus.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

namespace {

const QString kOptionKey = QStringLiteral("Options/showAllDatabases");

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

ByteVector Bytes(std::string_view text) {
    return ByteVector(text.begin(), text.end());
}

// "Messages" (an HTML-only message), "Browser Bookmarks", "Time Zones": one record each.
ByteVector MailBookmarkZone() {
    IpdBuilder b;
    const auto messages = b.database("Messages");
    const auto bookmarks = b.database("Browser Bookmarks");
    const auto zones = b.database("Time Zones");
    ByteVector html(97, 0);
    const ByteVector page = Bytes("<html><body><p>Hi &amp; bye</p></body></html>");
    html.insert(html.end(), page.begin(), page.end());
    b.record(messages,
             FieldList()
                 .add(5, Bytes(std::string(8, '\0') + "Ann" + '\0' + "ann@example.org" + '\0'))
                 .text(11, "Lunch", true)
                 .add(24, html)
                 .bytes());
    b.record(bookmarks, FieldList()
                            .add(17, Bytes(std::string("\1\0\1"
                                                       "7\1\0\4News\0",
                                                       12)))
                            .add(18, Bytes(std::string("\0\x0Bhttp://a.b/", 13)))
                            .bytes());
    b.record(zones,
             FieldList().text(2, "Azores").le(3, 0xFFC4, 2).add(9, ByteVector(300, 'A')).bytes());
    return b.build();
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

    void newKindsShowInTheirPanesAndRawFieldsBelowThemOnRequest() {
        const QString path = WriteBackup(dir_, QStringLiteral("mail.ipd"), MailBookmarkZone());
        MainWindow& w = open(path);
        QCOMPARE(Texts(w),
                 (QStringList{QStringLiteral("Messages"), QStringLiteral("  Lunch"),
                              QStringLiteral("Browser Bookmarks"), QStringLiteral("  News"),
                              QStringLiteral("Time Zones"), QStringLiteral("  Azores")}));
        QAction* raw = w.menus().showRawFields;
        QCOMPARE(raw->text(), QStringLiteral("Show Raw Fields"));
        QVERIFY(!raw->isChecked());
        // Node ids: the three databases, then the records.
        select(4);
        QCOMPARE(VisibleFrames(w), QStringList{QStringLiteral("mailPane")});
        QCOMPARE(Field(w, QStringLiteral("mailFrom")), QStringLiteral("Ann <ann@example.org>"));
        QCOMPARE(Field(w, QStringLiteral("mailBody")), QStringLiteral("Hi & bye"));
        select(5);
        QCOMPARE(Field(w, QStringLiteral("bookmarkUrl")), QStringLiteral("http://a.b/"));
        select(6);
        QCOMPARE(VisibleFrames(w), QStringList{QStringLiteral("timeZonePane")});
        QCOMPARE(Field(w, QStringLiteral("zoneUtcOffset")), QStringLiteral("-01:00"));

        raw->setChecked(true);
        QCOMPARE(fakes_->settings.values.value(QStringLiteral("Options/showRawFields")),
                 QStringLiteral("1"));
        QCOMPARE(VisibleFrames(w),
                 (QStringList{QStringLiteral("timeZonePane"), QStringLiteral("rawPane")}));
        const QStringList rows = Rows(*w.panes().rawTable());
        QCOMPARE(rows.first(), QStringLiteral("2|6|41 7A 6F 72 65 73|Azores"));
        // A long field shows its first 256 bytes.
        QCOMPARE(rows.last(), QStringLiteral("9|300|") + QStringLiteral("41 ").repeated(255) +
                                  QStringLiteral("41 ...|") + QStringLiteral("A").repeated(256) +
                                  QStringLiteral(" ..."));
        raw->setChecked(false);
        QCOMPARE(VisibleFrames(w), QStringList{QStringLiteral("timeZonePane")});
    }

    // The text reading is as wide as the hex beside it, and a cell's whole text is its tooltip,
    // in lines.
    void rawTextIsAsWideAsItsHexWithItsWholeTextInATooltip() {
        MainWindow& w = open(WriteBackup(dir_, QStringLiteral("mail.ipd"), MailBookmarkZone()));
        w.menus().showRawFields->setChecked(true);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        select(6);
        const QTableWidget& table = *w.panes().rawTable();
        QVERIFY2(qAbs(table.columnWidth(3) - table.columnWidth(2)) <= 1,
                 qPrintable(
                     QStringLiteral("%1 %2").arg(table.columnWidth(2)).arg(table.columnWidth(3))));
        const QTableWidgetItem& text = *table.item(table.rowCount() - 1, 3);
        QCOMPARE(text.toolTip().count(QLatin1Char('\n')), 3);
        QCOMPARE(text.toolTip().remove(QLatin1Char('\n')), text.text());
    }

  private:
    QString folders_;
};

QTEST_MAIN(AllDatabasesWindowTest)
#include "all_databases_window_test.moc"
