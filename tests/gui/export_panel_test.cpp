// The export panel on its own: the Export command's captions and messages, the option that
// persists, and what each button writes.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <fstream>
#include <iterator>

#include "core/export/export_fixture.h"
#include "fakes.h"
#include "gui/browser/main_menus.h"
#include "gui/browser/main_window.h"
#include "gui/browser/tree_model.h"
#include "gui/export/export_panel.h"
#include "ipd/loader.h"

namespace orrelin::gui {
namespace {

using namespace orrelin::testing;
using namespace orrelin::gui::testing;

BackupTree TreeOf(const ByteVector& bytes, const std::string& path) {
    IpdImage image(bytes);
    RecordIndex index = BuildDatabaseNodes(image, path);
    return BackupTree(std::move(image), std::move(index));
}

std::string ReadAll(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::tm Seventh() {
    std::tm when{};
    when.tm_mday = 7;
    when.tm_hour = 4;
    when.tm_min = 5;
    when.tm_sec = 9;
    return when;
}

}  // namespace

class ExportPanelTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir folder;
    BackupTree tree;
    std::optional<NodeId> selected;
    FakeMessageBoxes messages;
    FakeSettingsStore settings;
    QWidget host;
    std::unique_ptr<ExportPanel> panel;

    NodeId Record(FixtureDb db, std::size_t row) const {
        return tree.child(tree.databaseNode(db), row);
    }
    QStringList Files() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }
    void Open(NodeId node) {
        selected = node;
        panel->openForSelection();
    }

  private Q_SLOTS:
    void init() {
        QVERIFY(folder.isValid());
        tree = TreeOf(FixtureBackup(), (folder.path() + "/a.ipd").toStdString());
        selected.reset();
        messages.shown.clear();
        settings.values.clear();
        panel = std::make_unique<ExportPanel>(
            messages, settings,
            [this] {
                return ExportPanel::Source{&tree, selected, DecodeContext{}};
            },
            &host);
        panel->setClock(Seventh);
        for (const QString& name : Files())
            QFile::remove(folder.path() + "/" + name);
    }
    void cleanup() { panel.reset(); }

    void panelHasItsCaptionsAndStartsHiddenWithNoOptionChosen() {
        QCOMPARE(panel->objectName(), QStringLiteral("exportPanel"));
        QCOMPARE(panel->title(), QStringLiteral("Export to Text/CSV File"));
        QVERIFY(panel->findChild<QGroupBox*>()->title() == QStringLiteral("Export to Text"));
        QCOMPARE(panel->textButton()->text(), QStringLiteral("Export to Text file"));
        QCOMPARE(panel->csvButton()->text(), QStringLiteral("Export to CSV file"));
        QCOMPARE(panel->cancelButton()->text(), QStringLiteral("Cancel"));
        QCOMPARE(panel->scopeOption(2)->text(), QStringLiteral("Export All"));
        QVERIFY(panel->isHidden());
        QVERIFY(!panel->chosenScope().has_value());
    }

    void exportCommandCaptionsTheOptionsAfterTheDatabase() {
        const struct {
            FixtureDb db;
            const char* selected;
            const char* all;
        } cases[] = {
            {kSms, "Export Selected SMS Message", "Export All SMS Messages"},
            {kAddressAll, "Export Selected Address", "Export All Addresses"},
            {kAddress, "Export Selected Address", "Export All Addresses"},
            {kTasks, "Export Selected Task", "Export All Tasks"},
            {kCalendar, "Export Selected Calendar", "Export All Calendar"},
            {kMemos, "Export Selected Memo", "Export All Memos"},
            {kCalls, "Export Selected Phone Call", "Export All Phone Calls"},
        };
        for (const auto& c : cases) {
            Open(Record(c.db, 0));
            QCOMPARE(panel->scopeOption(0)->text(), QString::fromLatin1(c.selected));
            QCOMPARE(panel->scopeOption(1)->text(), QString::fromLatin1(c.all));
            QVERIFY(!panel->isHidden());
            for (int i = 0; i < 3; ++i)
                QVERIFY(!panel->scopeOption(i)->isHidden());
        }
        QVERIFY(messages.shown.empty());
    }

    void exportCommandExplainsWhyItCannotOpen() {
        // A database node or a service book entry: a warning; an open panel stays open with
        // only the last option.
        Open(Record(kMemos, 0));
        for (NodeId node : {tree.databaseNode(kMemos), Record(kServiceBook, 0)}) {
            Open(node);
            QVERIFY(!panel->isHidden());
            QVERIFY(panel->scopeOption(0)->isHidden());
            QVERIFY(panel->scopeOption(1)->isHidden());
            QVERIFY(!panel->scopeOption(2)->isHidden());
        }
        QCOMPARE(messages.shown.size(), std::size_t{2});
        for (const ShownMessage& shown : messages.shown) {
            QCOMPARE(shown.icon, MessageIcon::Warning);
            QCOMPARE(shown.title, QStringLiteral("Please select record first:"));
            QCOMPARE(shown.text,
                     QStringLiteral("No SMS, Address Book, Tasks, Calendar, Phone Calls record "
                                    "selected for export.\nPlease select any single record then "
                                    "hit the export menu."));
        }
        // The root, or nothing selected: an error, and the panel is hidden.
        messages.shown.clear();
        Open(BackupTree::kRoot);
        QVERIFY(panel->isHidden());
        selected.reset();
        panel->openForSelection();
        QCOMPARE(messages.shown.size(), std::size_t{2});
        for (const ShownMessage& shown : messages.shown) {
            QCOMPARE(shown.icon, MessageIcon::Critical);
            QCOMPARE(shown.title, QStringLiteral("Error"));
            QCOMPARE(shown.text, QStringLiteral("No information selected for export.\nPlease "
                                                "select any record then choose export option."));
        }
    }

    void withNoOptionChosenTheButtonsWriteNothingAndSaySo() {
        Open(Record(kMemos, 0));
        panel->textButton()->click();
        panel->csvButton()->click();
        std::size_t clicked = 2;
        for (const auto& info : kExportFormats) {
            if (QPushButton* button = panel->standardButton(info.format)) {
                button->click();
                ++clicked;
            }
        }
        QVERIFY(Files().isEmpty());
        QCOMPARE(messages.shown.size(), clicked);
        for (const ShownMessage& shown : messages.shown) {
            QCOMPARE(shown.icon, MessageIcon::Warning);
            QVERIFY(shown.text.startsWith(QStringLiteral("Nothing was exported.")));
        }
    }

    // What is said after a file is written: the count, and the command line's warning when a
    // format took no record (the fixture holds no mail).
    void theMessageCountsTheRecordsAndWarnsOfAnEmptyDocument() {
        struct Case {
            ExportFormat format;
            MessageIcon icon;
            QString tail;
        };
        const Case cases[] = {
            {ExportFormat::Json, MessageIcon::None, QStringLiteral("\n2 records written.")},
            {ExportFormat::Mbox, MessageIcon::Warning,
             QStringLiteral("\n0 records written.\nThe chosen records hold nothing for mbox: the "
                            "file holds an empty document.")},
        };
        Open(Record(kSms, 0));
        panel->scopeOption(1)->setChecked(true);
        for (const Case& c : cases) {
            messages.shown.clear();
            panel->standardButton(c.format)->click();
            QCOMPARE(messages.shown.size(), std::size_t{1});
            QCOMPARE(messages.shown[0].icon, c.icon);
            QVERIFY2(messages.shown[0].text.endsWith(c.tail), qPrintable(messages.shown[0].text));
        }
    }

    void theChosenOptionPersistsAcrossOpenings() {
        Open(Record(kMemos, 0));
        panel->scopeOption(1)->setChecked(true);
        panel->cancelButton()->click();
        QVERIFY(panel->isHidden());
        Open(Record(kTasks, 0));
        QCOMPARE(panel->chosenScope(), std::optional<int>(1));
        panel->scopeOption(2)->setChecked(true);
        QCOMPARE(panel->chosenScope(), std::optional<int>(2));
        QVERIFY(!panel->scopeOption(1)->isChecked());
    }

    void eachButtonWritesItsFileAndSaysWhere() {
        Open(Record(kMemos, 0));
        panel->scopeOption(0)->setChecked(true);
        panel->textButton()->click();
        QString text = folder.path() + "/Orrelin_Export_07040509.txt";
        QCOMPARE(ReadAll(text), Banner(27, "Memo") + Flat(kShoppingText));

        // The records come from the selection now, the banner from the captions.
        selected = Record(kMemos, 1);
        panel->scopeOption(1)->setChecked(true);
        panel->csvButton()->click();
        QString csv = folder.path() + "/Orrelin_Export_07040509.csv";
        QCOMPARE(ReadAll(csv), Banner(27, "Memos") + Lines({"Title,Memo"}) + Flat(kShoppingCsv) +
                                   Flat(kArabicMemoCsv));

        // Again in the same second: a new name, the earlier file kept.
        panel->scopeOption(2)->setChecked(true);
        panel->textButton()->click();
        QString again = folder.path() + "/Orrelin_Export_07040509_2.txt";
        QCOMPARE(ReadAll(again), WholeFileText());
        QCOMPARE(ReadAll(text), Banner(27, "Memo") + Flat(kShoppingText));

        QCOMPARE(messages.shown.size(), std::size_t{3});
        const QString paths[] = {text, csv, again};
        const QString counts[] = {"1 record", "2 records", "9 records"};
        for (std::size_t i = 0; i < 3; ++i) {
            QCOMPARE(messages.shown[i].icon, MessageIcon::None);
            QCOMPARE(messages.shown[i].title, kApplicationTitle);
            QCOMPARE(messages.shown[i].text,
                     "Export to: " + paths[i] + " is complete.\n" + counts[i] + " written.");
        }
        QVERIFY(!panel->isHidden());
    }

    void theStandardFormatButtonsWriteTheirFilesOnTheSamePath() {
        QCOMPARE(panel->standardButton(ExportFormat::VCard)->text(), QStringLiteral("vCard"));
        QCOMPARE(panel->standardButton(ExportFormat::ICalendar)->text(),
                 QStringLiteral("iCalendar"));
        QCOMPARE(panel->standardButton(ExportFormat::Json)->text(), QStringLiteral("JSON"));

        // One record: the selected SMS, with its instant rather than the shown time.
        Open(Record(kSms, 1));
        panel->scopeOption(0)->setChecked(true);
        panel->standardButton(ExportFormat::Json)->click();
        QString one = folder.path() + "/Orrelin_Export_07040509.json";
        std::string json = ReadAll(one);
        QVERIFY2(json.find("\"text\":\"\u0627\u0644\u0645\"") != std::string::npos, json.c_str());
        QVERIFY(json.find("\"records\":[\n{\"index\":2,") != std::string::npos);
        QVERIFY(json.find("Hello") == std::string::npos);

        // One database (the selection's now) and the whole file.
        selected = Record(kAddressAll, 0);
        panel->scopeOption(1)->setChecked(true);
        panel->standardButton(ExportFormat::VCard)->click();
        panel->scopeOption(2)->setChecked(true);
        panel->standardButton(ExportFormat::ICalendar)->click();
        panel->standardButton(ExportFormat::Json)->click();
        QCOMPARE(Files(),
                 (QStringList{"Orrelin_Export_07040509.ics", "Orrelin_Export_07040509.json",
                              "Orrelin_Export_07040509.vcf", "Orrelin_Export_07040509_2.json"}));
        QVERIFY(ReadAll(folder.path() + "/Orrelin_Export_07040509_2.json").find("Service Book") !=
                std::string::npos);
        QCOMPARE(messages.shown.size(), std::size_t{4});
        QCOMPARE(messages.shown[0].text, "Export to: " + one + " is complete.\n1 record written.");
        QCOMPARE(panel->lastWritten(), folder.path() + "/Orrelin_Export_07040509_2.json");
    }

    // The vCard button writes the version chosen beside it, 3.0 until another is chosen; the
    // choice is remembered for the next panel.
    void theVcardButtonWritesTheRememberedVersion() {
        QCOMPARE(panel->vcardVersionBox()->currentText(), QStringLiteral("3.0"));
        Open(Record(kAddressAll, 0));
        panel->scopeOption(2)->setChecked(true);
        panel->standardButton(ExportFormat::VCard)->click();
        panel->vcardVersionBox()->setCurrentText(QStringLiteral("4.0"));
        panel->standardButton(ExportFormat::VCard)->click();
        QVERIFY(ReadAll(folder.path() + "/Orrelin_Export_07040509.vcf").find("VERSION:3.0") !=
                std::string::npos);
        QVERIFY(ReadAll(folder.path() + "/Orrelin_Export_07040509_2.vcf").find("VERSION:4.0") !=
                std::string::npos);
        ExportPanel next(
            messages, settings, [] { return ExportPanel::Source{}; }, &host);
        QCOMPARE(next.vcardVersionBox()->currentText(), QStringLiteral("4.0"));
    }

    // The second row: the Android message and call files, the HTML page and the contact CSVs.
    void theAndroidAndHtmlButtonsWriteTheirFiles() {
        QCOMPARE(panel->standardButton(ExportFormat::AndroidSms)->text(),
                 QStringLiteral("Android SMS"));
        QCOMPARE(panel->standardButton(ExportFormat::AndroidCalls)->text(),
                 QStringLiteral("Android Calls"));
        QCOMPARE(panel->standardButton(ExportFormat::Html)->text(), QStringLiteral("HTML"));
        QCOMPARE(panel->standardButton(ExportFormat::GoogleCsv)->text(),
                 QStringLiteral("Google CSV"));
        QCOMPARE(panel->standardButton(ExportFormat::OutlookCsv)->text(),
                 QStringLiteral("Outlook CSV"));
        Open(Record(kSms, 0));
        panel->scopeOption(2)->setChecked(true);
        panel->standardButton(ExportFormat::AndroidSms)->click();
        panel->standardButton(ExportFormat::AndroidCalls)->click();
        panel->standardButton(ExportFormat::Html)->click();
        panel->standardButton(ExportFormat::GoogleCsv)->click();
        panel->standardButton(ExportFormat::OutlookCsv)->click();
        QCOMPARE(Files(),
                 (QStringList{"Orrelin_Export_07040509.csv", "Orrelin_Export_07040509.html",
                              "Orrelin_Export_07040509.xml", "Orrelin_Export_07040509_2.csv",
                              "Orrelin_Export_07040509_2.xml"}));
        QVERIFY(ReadAll(folder.path() + "/Orrelin_Export_07040509.xml")
                    .starts_with("<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n"
                                 "<smses count=\"2\">"));
        QVERIFY(
            ReadAll(folder.path() + "/Orrelin_Export_07040509_2.xml").find("<calls count=\"1\">") !=
            std::string::npos);
        QVERIFY(ReadAll(folder.path() + "/Orrelin_Export_07040509.html")
                    .starts_with("<!DOCTYPE html>"));
        QVERIFY(ReadAll(folder.path() + "/Orrelin_Export_07040509_2.csv")
                    .starts_with("\xEF\xBB\xBF"
                                 "First Name,Middle Name,Last Name,"));
        QCOMPARE(messages.shown.size(), std::size_t{5});
    }

    void aFileThatCannotBeWrittenIsReportedNotCompleted() {
        tree = TreeOf(FixtureBackup(), (folder.path() + "/gone/a.ipd").toStdString());
        Open(Record(kCalls, 0));
        panel->scopeOption(2)->setChecked(true);
        panel->csvButton()->click();
        QCOMPARE(messages.shown.size(), std::size_t{1});
        QCOMPARE(messages.shown[0].icon, MessageIcon::Critical);
        QVERIFY(
            messages.shown[0].text.contains(folder.path() + "/gone/Orrelin_Export_07040509.csv"));
        QVERIFY(!messages.shown[0].text.contains("complete"));
        QVERIFY(panel->lastWritten().isEmpty());
    }

    void theMainWindowOpensThePanelAndHidesItOnTheNextClick() {
        QString path = folder.path() + "/window.ipd";
        ByteVector bytes = FixtureBackup();
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        file.close();
        FakePlatform fakes;
        MainWindow window(fakes.platform);
        window.openPath(path);
        window.waitForOpen();
        auto select = [&](NodeId node) {
            window.treeView().setCurrentIndex(window.treeModel().indexOf(node));
        };
        ExportPanel& exportPanel = window.exportPanel();
        select(window.tree().child(window.tree().databaseNode(kCalls), 0));
        window.menus().exportRecords->trigger();
        QVERIFY(!exportPanel.isHidden());
        QCOMPARE(exportPanel.scopeOption(1)->text(), QStringLiteral("Export All Phone Calls"));
        select(window.tree().child(window.tree().databaseNode(kMemos), 0));
        QVERIFY(exportPanel.isHidden());
        select(BackupTree::kRoot);
        window.menus().exportRecords->trigger();
        QCOMPARE(fakes.messages.shown.size(), std::size_t{1});
        QCOMPARE(fakes.messages.shown[0].title, QStringLiteral("Error"));
        QFile::remove(path);
    }

    void aCancelledExportLeavesNoFileAndNoMessage() {
        IpdBuilder b;
        auto memos = b.database("Memos");
        for (int i = 0; i < 5000; ++i)
            b.record(memos, FieldList().text(1, "memo").bytes());
        tree = TreeOf(b.build(), (folder.path() + "/big.ipd").toStdString());
        panel->setProgressDelay(0);
        Open(Record(FixtureDb{0}, 0));
        panel->scopeOption(2)->setChecked(true);
        bool cancelled = false;
        QTimer::singleShot(0, this, [&cancelled] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<QProgressDialog*>(widget)) {
                    dialog->cancel();
                    cancelled = true;
                }
            }
        });
        panel->textButton()->click();
        QVERIFY(cancelled);
        QVERIFY(Files().isEmpty());
        QVERIFY(messages.shown.empty());
        QVERIFY(panel->lastWritten().isEmpty());
    }
};

}  // namespace orrelin::gui

QTEST_MAIN(orrelin::gui::ExportPanelTest)
#include "export_panel_test.moc"
