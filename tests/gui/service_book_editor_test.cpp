// The service book editor, offscreen: its layout, both saves, the refusals and a failed write.

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "base/bytes.h"
#include "fakes.h"
#include "gui/common/single_byte.h"
#include "gui/servicebook/service_book_editor.h"
#include "gui/servicebook/servicebook_form.h"
#include "ipd/ipd_builder.h"
#include "ipd/loader.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

namespace {

// "Memos" then "Service Book" with three entries, a memo between the first two.
ByteVector ThreeEntries() {
    IpdBuilder builder;
    builder.database("Memos");
    const std::uint16_t book = builder.database("Service Book");
    auto entry = [&](const char* name, std::uint16_t handle) {
        builder.record(
            book, FieldList().add(1, {9}).text(3, name, true).text(7, "U").text(8, "C").bytes(),
            handle, handle * 0x01010101u);
    };
    entry("First", 1);
    builder.record(0, FieldList().text(1, "memo", true).bytes(), 7);
    entry("Second", 2);
    entry("Third", 3);
    return builder.build();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ServiceBookEditorTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString backup_;
    std::unique_ptr<FakePlatform> fakes_;
    std::unique_ptr<ServiceBookEditor> editor_;
    std::optional<BackupTree> tree_;

    NodeId entry(std::size_t row) const { return tree_->child(tree_->databaseNode(1), row); }

    // The pane's texts for the second entry, edited where a test says so.
    static std::array<QString, 22> Texts() {
        std::array<QString, 22> texts;
        texts[17] = QStringLiteral("Second");
        texts[18] = QStringLiteral("U");
        texts[19] = QStringLiteral("C");
        return texts;
    }

    ServiceBookFields Values() const {
        ServiceBookFields values;
        for (std::size_t i = 0; i < 22; ++i) {
            values.values[i] = ToSingleByte(editor_->field(i)->text()).value_or("");
        }
        return values;
    }

    // The file the core writes for these values, to compare with what the window wrote.
    QByteArray Expected(const ServiceBookFields& values, ServiceBookSaveKind kind) const {
        auto source = ServiceBookEntry::Of(*tree_, entry(1));
        auto record = std::get<ByteVector>(BuildServiceBookRecord(source->code, values));
        ByteVector bytes = AssembleServiceBookFile(*source, record, kind);
        return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qsizetype>(bytes.size()));
    }

    QStringList Saves() const {
        return QDir(dir_.path()).entryList({QStringLiteral("Orrelin_Export_*")}, QDir::Files);
    }

    const ShownMessage& LastMessage() const { return fakes_->messages.shown.back(); }

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        backup_ = dir_.filePath(QStringLiteral("a.ipd"));
        ByteVector bytes = ThreeEntries();
        QFile file(backup_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        file.close();
        auto opened = BackupTree::Open(backup_.toStdString());
        QVERIFY(opened);
        tree_ = std::move(*opened);
    }

    void init() {
        fakes_ = std::make_unique<FakePlatform>();
        editor_ = std::make_unique<ServiceBookEditor>(fakes_->platform);
        QVERIFY(editor_->open(*tree_, entry(1), Texts()));
    }

    void cleanup() {
        editor_.reset();
        fakes_.reset();
        for (const QString& name : Saves())
            QFile::remove(dir_.filePath(name));
    }

    void showsTheEntryWithItsCaptionsAndLabels() {
        ServiceBookEditor& e = *editor_;
        QCOMPARE(e.windowTitle(), QStringLiteral("Editing Service Books"));
        QCOMPARE(e.entryFrame->objectName(), QStringLiteral("entryFrame"));
        QCOMPARE(e.entryFrame->title(), QStringLiteral("Edit the *Second* service book"));
        for (std::size_t i = 0; i < 22; ++i) {
            auto* field = e.findChild<QLineEdit*>(QString::fromLatin1(kServiceBookFieldNames[i]));
            QVERIFY(field);
            QCOMPARE(field, e.field(i));
        }
        QCOMPARE(e.field(17)->text(), QStringLiteral("Second"));
        QCOMPARE(e.tabs->tabText(0), QStringLiteral("Network"));
        QCOMPARE(e.tabs->tabText(1), QStringLiteral("Web"));
        QStringList labels;
        for (auto* label : e.findChildren<QLabel*>())
            labels << label->text();
        for (const char* label : {"Gateway", "Home Page", "Data Source UID", "Gateway IP", "Ports",
                                  "HRT", "User ID", "QoS"}) {
            QVERIFY2(labels.contains(QString::fromLatin1(label)), label);
        }
        QVERIFY(!labels.contains(QStringLiteral("Gateway/URL")));
        QCOMPARE(e.saveEntryButton->text(), QStringLiteral("Export Only This Entry"));
        QCOMPARE(e.saveAllButton->text(), QStringLiteral("Export All Service Books"));
        QCOMPARE(e.exitButton->text(), QStringLiteral("Exit"));
        auto source = ServiceBookEntry::Of(*tree_, entry(1));
        QCOMPARE(e.recordHex->toPlainText(), QString::fromStdString(BytesToHex(source->code)));
        QVERIFY(e.recordHex->toPlainText().startsWith(QStringLiteral("0100")));
    }

    void exportOnlyThisEntryWritesTheEditedEntry() {
        editor_->field(17)->setText(QStringLiteral("Renamed"));
        editor_->field(9)->setText(QStringLiteral("8080"));
        editor_->field(10)->setText(QStringLiteral("80"));
        QTest::mouseClick(editor_->saveEntryButton, Qt::LeftButton);
        QCOMPARE(Saves().size(), 1);
        const QString path = dir_.filePath(Saves().first());
        QCOMPARE(LastMessage().icon, MessageIcon::Information);
        QCOMPARE(LastMessage().title, kApplicationTitle);
        QCOMPARE(LastMessage().text, QStringLiteral("File saved as ") + path);
        QCOMPARE(ReadFile(path), Expected(Values(), ServiceBookSaveKind::EntryOnly));
    }

    void exportAllWritesEveryEntryWithTheEditedOneInPlace() {
        editor_->field(21)->setText(QStringLiteral("desc"));
        editor_->saveAllEntries();
        QCOMPARE(Saves().size(), 1);
        const QByteArray written = ReadFile(dir_.filePath(Saves().first()));
        QCOMPARE(written, Expected(Values(), ServiceBookSaveKind::AllEntries));
        QVERIFY(written.contains("First"));
        QVERIFY(written.contains("Third"));
        QVERIFY(!written.contains("memo"));

        // A second save in the same second does not replace the first file.
        editor_->saveAllEntries();
        editor_->saveAllEntries();
        QCOMPARE(Saves().size(), 3);
    }

    void textsAreStoredInTheArabicCodePage() {
        editor_->field(21)->setText(QStringLiteral("\u0633\u0644\u0645\u0649"));
        editor_->saveEntry();
        QCOMPARE(Saves().size(), 1);
        QVERIFY(ReadFile(dir_.filePath(Saves().first())).contains("\xD3\xE1\xE3\xEC"));
    }

    void refusalsAreShownAndNothingIsWritten() {
        struct Case {
            std::size_t field;
            QString text;
            MessageIcon icon;
            QString message;
        };
        const Case cases[] = {
            {18, QString(), MessageIcon::Critical,
             QStringLiteral("Service-book name, UID, CID, UserID cannot be blank")},
            {20, QStringLiteral("12x"), MessageIcon::Warning,
             QStringLiteral("\"User ID\" must be a whole number from -2147483648 to 2147483647.")},
            {4, QStringLiteral("1.2.3"), MessageIcon::Warning,
             QStringLiteral("\"QoS\" must be five whole numbers from 0 to 255 joined by \".\".")},
            {14, QString(255, QLatin1Char('g')), MessageIcon::Warning,
             QStringLiteral("\"Gateway\" cannot be longer than 254 characters.")},
            {21, QStringLiteral("\u00F1"), MessageIcon::Warning,
             QStringLiteral("\"Description\" holds a character that a service book cannot store.")},
        };
        for (const Case& c : cases) {
            init();
            editor_->field(c.field)->setText(c.text);
            for (QPushButton* button : {editor_->saveEntryButton, editor_->saveAllButton}) {
                fakes_->messages.shown.clear();
                QTest::mouseClick(button, Qt::LeftButton);
                QCOMPARE(fakes_->messages.shown.size(), std::size_t{1});
                QCOMPARE(LastMessage().icon, c.icon);
                QCOMPARE(LastMessage().title, kApplicationTitle);
                QCOMPARE(LastMessage().text, c.message);
            }
        }
        QVERIFY(Saves().isEmpty());
        init();
        editor_->field(9)->setText(QStringLiteral("65536"));
        editor_->field(10)->setText(QStringLiteral("1"));
        editor_->tabs->setCurrentIndex(1);
        editor_->saveEntry();
        QCOMPARE(editor_->tabs->currentIndex(), 0);
        QVERIFY(Saves().isEmpty());
    }

    void aFailedWriteIsReportedInsteadOfConfirmed() {
        Bytes file = tree_->image().fileBytes();
        IpdImage image(ByteVector(file.begin(), file.end()));
        const std::string missing = dir_.filePath(QStringLiteral("gone/a.ipd")).toStdString();
        BackupTree elsewhere(image, BuildDatabaseNodes(image, missing));
        QVERIFY(editor_->open(elsewhere, entry(1), Texts()));
        editor_->saveEntry();
        QCOMPARE(fakes_->messages.shown.size(), std::size_t{1});
        QCOMPARE(LastMessage().icon, MessageIcon::Critical);
        QVERIFY(LastMessage().text.startsWith(QStringLiteral("Cannot write ")));
        QVERIFY(!LastMessage().text.contains(QStringLiteral("File saved as")));
    }

    void onlyRecordsOpenAndExitCloses() {
        QVERIFY(!editor_->open(*tree_, tree_->databaseNode(1), Texts()));
        QCOMPARE(editor_->entryFrame->title(), QStringLiteral("Edit the *Second* service book"));
        editor_->show();
        QVERIFY(editor_->isVisible());
        QTest::mouseClick(editor_->exitButton, Qt::LeftButton);
        QVERIFY(!editor_->isVisible());
    }
};

QTEST_MAIN(ServiceBookEditorTest)
#include "service_book_editor_test.moc"
