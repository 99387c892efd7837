// The record panes of the main window: what each record shows, photos, fonts, directions.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTreeView>
#include <memory>

#include "every_kind_window.h"
#include "fakes.h"
#include "gui/browser/main_menus.h"
#include "gui/browser/tree_model.h"
#include "gui/common/value_font.h"
#include "gui/servicebook/servicebook_form.h"
#include "test_backups.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

class RecordPanesTest : public QObject, private WindowFixture {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { QVERIFY(prepare()); }
    void init() { renew(); }
    void cleanup() { drop(); }

    void eachRecordFillsItsPane_data() {
        QTest::addColumn<quint32>("node");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("sent sms") << quint32{SentSms} << "smsPane"
                                  << "smsText"
                                  << "Hello there";
        QTest::newRow("sms number") << quint32{SentSms} << "smsPane"
                                    << "smsNumber"
                                    << "5551234";
        QTest::newRow("received sms") << quint32{ReceivedSms} << "smsPane"
                                      << "smsText"
                                      << "Reply";
        QTest::newRow("contact all") << quint32{ContactAll} << "contactPane"
                                     << "company"
                                     << "Acme";
        QTest::newRow("contact") << quint32{Contact} << "contactPane"
                                 << "email"
                                 << "salma@example.org";
        QTest::newRow("contact arabic")
            << quint32{Contact} << "contactPane"
            << "firstName" << QString::fromUtf8("\u0633\u0644\u0645\u0649");
        QTest::newRow("contact pin") << quint32{Contact} << "contactPane"
                                     << "pin"
                                     << "2A3B4C5D";
        QTest::newRow("contact notes") << quint32{Contact} << "contactPane"
                                       << "contactNotes"
                                       << "Met in Beirut\r\nSecond line";
        QTest::newRow("contact facebook") << quint32{Contact} << "contactPane"
                                          << "facebook"
                                          << "salma.h";
        QTest::newRow("memo") << quint32{MemoEntry} << "memoPane"
                              << "memoTitle"
                              << "Shopping";
        QTest::newRow("task") << quint32{TaskEntry} << "taskPane"
                              << "taskTitle"
                              << "Call Bob";
        QTest::newRow("task status") << quint32{TaskEntry} << "taskPane"
                                     << "taskStatus"
                                     << "In Progress";
        QTest::newRow("task priority") << quint32{TaskEntry} << "taskPane"
                                       << "taskPriority"
                                       << "High";
        QTest::newRow("calendar") << quint32{Appointment} << "calendarPane"
                                  << "location"
                                  << "Room 4";
        QTest::newRow("calendar start") << quint32{Appointment} << "calendarPane"
                                        << "start"
                                        << "1/1/1970 4:00:00 AM";
        QTest::newRow("calendar all") << quint32{AppointmentAll} << "calendarPane"
                                      << "subject"
                                      << "Holiday";
        QTest::newRow("service book") << quint32{ServiceEntry} << "serviceBookPane"
                                      << "entryName"
                                      << "WAP Transport";
        QTest::newRow("service book uid") << quint32{ServiceEntry} << "serviceBookPane"
                                          << "entryUserId"
                                          << "-1";
        QTest::newRow("service book apn") << quint32{ServiceEntry} << "serviceBookPane"
                                          << "apn"
                                          << "internet.apn";
        QTest::newRow("service book ip") << quint32{ServiceEntry} << "serviceBookPane"
                                         << "gatewayIp1"
                                         << "192";
        QTest::newRow("service book port") << quint32{ServiceEntry} << "serviceBookPane"
                                           << "port1"
                                           << "8080";
        QTest::newRow("service book home") << quint32{ServiceEntry} << "serviceBookPane"
                                           << "homePage"
                                           << "http://home";
        QTest::newRow("call") << quint32{PlacedCall} << "callLogPane"
                              << "callName"
                              << "Omar";
        QTest::newRow("call number") << quint32{PlacedCall} << "callLogPane"
                                     << "callNumber"
                                     << "5550000";
        QTest::newRow("call date") << quint32{PlacedCall} << "callLogPane"
                                   << "callDate"
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
        QCOMPARE(window_->menus().serviceBookMenu->isVisible(), node == ServiceEntry);
    }

    void aContactPhotoIsShownFromTheRecord() {
        open(backup_);
        select(Contact);
        QLabel* picture = window_->panes().photo(RecordKind::Address);
        QVERIFY(!picture->pixmap().isNull());
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
        QCOMPARE(VisibleFrames(*window_), QStringList{QStringLiteral("contactPane")});
        QCOMPARE(Field(*window_, QStringLiteral("company")), QStringLiteral("Broken Photo Ltd"));
        QVERIFY(window_->panes().photo(RecordKind::Address)->pixmap().isNull());
    }

    // The raw fields below a record's pane do not scroll the pane out of view.
    void aRecordShownWithItsRawFieldsOpensAtTheTop() {
        window_->menus().showRawFields->setChecked(true);
        open(backup_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        select(Contact);
        QTest::qWait(50);
        QCOMPARE(VisibleFrames(*window_),
                 (QStringList{QStringLiteral("contactPane"), QStringLiteral("rawPane")}));
        auto* area = window_->findChild<QScrollArea*>(QStringLiteral("paneArea"));
        QVERIFY(area->verticalScrollBar()->maximum() > 0);
        QCOMPARE(area->verticalScrollBar()->value(), 0);
    }

    void valueFieldsUseAnArabicFont() {
        const QFont font = window_->findChild<QLineEdit*>(QStringLiteral("firstName"))->font();
        QCOMPARE(font.pointSize(), 12);
        QCOMPARE(font.family(), ValueFont().family());
        QVERIFY(window_->findChild<QPlainTextEdit*>(QStringLiteral("smsText")) != nullptr);
        for (const char* name :
             {"contactNotes", "appointmentNotes", "taskNotes", "memoBody", "smsText"}) {
            QVERIFY2(window_->findChild<QPlainTextEdit*>(QString::fromLatin1(name)), name);
        }
        auto* tabs = window_->findChild<QTabWidget*>(QStringLiteral("contactPaneTabs"));
        QCOMPARE(tabs->count(), 5);
        QCOMPARE(tabs->tabText(1), QStringLiteral("Phone Numbers"));
        for (std::string_view name : kServiceBookFieldNames) {
            QVERIFY(window_->findChild<QLineEdit*>(QString::fromLatin1(name)) != nullptr);
        }
    }

    // A message's addresses wrap onto the lines they need: three recipients show whole.
    void aMessagesRecipientsShowWhole() {
        IpdBuilder ipd;
        auto messages = ipd.database("Messages");
        FieldList fields;
        for (std::string_view name : {"Hana Saleh", "Lucas Silva", "Victor Ortiz"}) {
            const std::string data = std::string(8, '\0') + std::string(name) + '\0' +
                                     std::string(name.substr(0, name.find(' '))) + "@example.org" +
                                     '\0';
            fields.add(1, ByteVector(data.begin(), data.end()));
        }
        ipd.record(messages, fields.text(11, "Lunch", true).bytes());
        open(WriteBackup(dir_, QStringLiteral("recipients.ipd"), ipd.build()));
        window_->resize(1024, 768);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        select(window_->tree().recordNode(0));
        QApplication::processEvents();
        const QString to = QStringLiteral(
            "Hana Saleh <Hana@example.org>, Lucas Silva <Lucas@example.org>, Victor Ortiz "
            "<Victor@example.org>");
        QCOMPARE(Field(*window_, QStringLiteral("mailTo")), to);
        auto* box = window_->findChild<QPlainTextEdit*>(QStringLiteral("mailTo"));
        QVERIFY2(box, "a single line hides what does not fit");
        QTextCursor end(box->document());
        end.movePosition(QTextCursor::End);
        QVERIFY(box->cursorRect(end).bottom() < box->viewport()->height());
        QCOMPARE(box->verticalScrollBar()->maximum(), 0);
        QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
    }

    // Arabic starts at the right edge in one-line and multi-line fields alike; an address of
    // two lines shows on two.
    void arabicStartsAtTheRightAndAnAddressKeepsItsLines() {
        const std::string arabic = "\xE3\xD0\xDF\xD1\xC9";  // code page 1256
        IpdBuilder ipd;
        auto memos = ipd.database("Memos");
        auto book = ipd.database("Address Book");
        ipd.record(memos, FieldList().text(1, arabic).text(2, arabic + " " + arabic).bytes());
        ipd.record(book, FieldList().text(35, "12 Main St\r\nFloor 3").bytes());
        open(WriteBackup(dir_, QStringLiteral("arabic.ipd"), ipd.build()));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));

        select(window_->tree().recordNode(0));
        auto* title = window_->findChild<QLineEdit*>(QStringLiteral("memoTitle"));
        auto* body = window_->findChild<QPlainTextEdit*>(QStringLiteral("memoBody"));
        QApplication::processEvents();
        const int titleStart = title->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        QVERIFY2(titleStart > title->width() / 2, qPrintable(QString::number(titleStart)));
        const int bodyStart = body->cursorRect(QTextCursor(body->document())).x();
        QVERIFY2(bodyStart > body->viewport()->width() / 2, qPrintable(QString::number(bodyStart)));

        select(window_->tree().recordNode(1));
        auto* address = window_->findChild<QPlainTextEdit*>(QStringLiteral("workAddress1"));
        QVERIFY(address);
        QCOMPARE(address->document()->blockCount(), 2);
        QCOMPARE(address->toPlainText(), QStringLiteral("12 Main St\nFloor 3"));
    }
};

QTEST_MAIN(RecordPanesTest)
#include "record_panes_test.moc"
