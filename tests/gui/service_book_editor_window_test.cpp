// The service book editor opened from the main window's "&Edit": it starts from the pane's
// values and stays tied to its entry whatever the main tree selects afterwards.

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>

#include "fakes.h"
#include "gui/browser/main_menus.h"
#include "gui/browser/main_window.h"
#include "gui/browser/tree_model.h"
#include "gui/servicebook/service_book_editor.h"
#include "ipd/ipd_builder.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

class ServiceBookEditorWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString backup_;
    std::unique_ptr<FakePlatform> fakes_;
    std::unique_ptr<MainWindow> window_;

    // "Memos" (node 1) and "Service Book" (node 2); the memo is node 3, the entries 4, 5, 6.
    static ByteVector Backup() {
        IpdBuilder builder;
        builder.database("Memos");
        const std::uint16_t book = builder.database("Service Book");
        builder.record(0, FieldList().text(1, "memo", true).bytes());
        for (const char* name : {"First", "Second", "Third"}) {
            builder.record(book, FieldList()
                                     .text(3, name, true)
                                     .text(7, "U")
                                     .text(8, "C")
                                     .add(0x16, {0x02, 0x00, 0x11, 0x1F, 0x90})
                                     .bytes());
        }
        return builder.build();
    }

    void select(NodeId node) {
        window_->treeView().setCurrentIndex(window_->treeModel().indexOf(node));
    }

    QStringList Saves() const {
        return QDir(dir_.path()).entryList({QStringLiteral("Orrelin_Export_*")}, QDir::Files);
    }

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        backup_ = dir_.filePath(QStringLiteral("book.ipd"));
        ByteVector bytes = Backup();
        QFile file(backup_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }

    void init() {
        fakes_ = std::make_unique<FakePlatform>();
        window_ = std::make_unique<MainWindow>(fakes_->platform);
        window_->openPath(backup_);
        window_->waitForOpen();
    }

    void cleanup() {
        window_.reset();
        fakes_.reset();
        for (const QString& name : Saves())
            QFile::remove(dir_.filePath(name));
    }

    void editOpensTheSelectedEntryWithThePanesValues() {
        select(5);
        QVERIFY(window_->menus().serviceBookMenu->isVisible());
        window_->editServiceBook();
        auto* editor = window_->findChild<ServiceBookEditor*>();
        QVERIFY(editor);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->entryFrame->title(), QStringLiteral("Edit the *Second* service book"));
        const auto texts = window_->serviceBookTexts();
        for (std::size_t i = 0; i < 22; ++i)
            QCOMPARE(editor->field(i)->text(), texts[i]);
        QCOMPARE(editor->field(17)->text(), QStringLiteral("Second"));
        QCOMPARE(editor->field(9)->text(), QStringLiteral("8080"));

        // Opening it again refills the same window.
        select(6);
        window_->editServiceBook();
        QCOMPARE(window_->findChildren<ServiceBookEditor*>().size(), 1);
        QCOMPARE(editor->field(17)->text(), QStringLiteral("Third"));
    }

    void exportAllReplacesTheEntryTheEditorWasOpenedFor() {
        select(5);
        window_->editServiceBook();
        auto* editor = window_->findChild<ServiceBookEditor*>();
        QVERIFY(editor);
        editor->field(17)->setText(QStringLiteral("Edited"));
        select(4);  // the user moves on in the main tree
        editor->saveAllEntries();
        QCOMPARE(fakes_->messages.shown.back().icon, MessageIcon::Information);
        QCOMPARE(Saves().size(), 1);
        const QString saved = dir_.filePath(Saves().first());
        QCOMPARE(fakes_->messages.shown.back().text, QStringLiteral("File saved as ") + saved);

        auto tree = BackupTree::Open(saved.toStdString());
        QVERIFY(tree);
        const NodeId database = tree->databaseNode(0);
        QCOMPARE(tree->childCount(database), std::size_t{3});
        QCOMPARE(tree->text(tree->child(database, 0)), std::string("First"));
        QCOMPARE(tree->text(tree->child(database, 1)), std::string("Edited"));
        QCOMPARE(tree->text(tree->child(database, 2)), std::string("Third"));
    }
};

QTEST_MAIN(ServiceBookEditorWindowTest)
#include "service_book_editor_window_test.moc"
