// Options > Show Full Unicode: off by default and as today; on, the tree and the panes show every
// character and 8-bit texts are read in the chosen code page; remembered; the status bar names
// the option when a shown record holds what code page 1256 cannot show.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRadioButton>
#include <QTest>

#include "every_kind_window.h"
#include "gui/common/unicode_option.h"
#include "gui/export/export_panel.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

namespace {

// Memos: a Chinese 16-bit title over an 8-bit body whose bytes are Greek in 1253; an Arabic
// one that code page 1256 shows whole.
ByteVector MemoBackup() {
    IpdBuilder ipd;
    auto memos = ipd.database("Memos");
    ipd.record(memos, FieldList().utf16(129, u"\u4E2D\u6587").text(2, "\xE1\xE2").bytes());
    ipd.record(memos, FieldList().utf16(129, u"\u0633\u0644\u0627\u0645").bytes());
    return ipd.build();
}

constexpr NodeId kChinese = 2;
constexpr NodeId kArabic = 3;
const QString kShowKey = QStringLiteral("Options/fullUnicode");
const QString kPageKey = QStringLiteral("Options/fullUnicodeCodePage");

}  // namespace

class UnicodeOptionTest : public QObject, private WindowFixture {
    Q_OBJECT

  private:
    QString memos_;
    QString Label(NodeId node) { return window_->treeModel().indexOf(node).data().toString(); }

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY(prepare());
        memos_ = WriteBackup(dir_, QStringLiteral("memos.ipd"), MemoBackup());
        QVERIFY(!memos_.isEmpty());
    }
    void init() { renew(); }
    void cleanup() { drop(); }

    void offShowsCodePage1256AndNamesTheOption() {
        open(memos_);
        UnicodeOption& option = window_->unicodeOption();
        QVERIFY(!option.showAction()->isChecked());
        QVERIFY(!option.codePageMenu()->isEnabled());
        QCOMPARE(Label(kChinese), QStringLiteral("??"));
        QCOMPARE(window_->unicodeNote(), QString());
        select(kChinese);
        QCOMPARE(Field(*window_, QStringLiteral("memoTitle")), QStringLiteral("??"));
        QVERIFY(window_->unicodeNote().contains(QStringLiteral("Options > Show Full Unicode")));
        select(kArabic);
        QCOMPARE(window_->unicodeNote(), QString());
    }

    void onShowsEveryCharacterInTheChosenPageAndIsRemembered() {
        open(memos_);
        select(kChinese);
        UnicodeOption& option = window_->unicodeOption();
        option.showAction()->trigger();
        QCOMPARE(Label(kChinese), QString::fromUtf8("\u4E2D\u6587"));
        QCOMPARE(Field(*window_, QStringLiteral("memoTitle")), QString::fromUtf8("\u4E2D\u6587"));
        QCOMPARE(Field(*window_, QStringLiteral("memoBody")), QString::fromUtf8("\u00E1\u00E2"));
        QCOMPARE(window_->unicodeNote(), QString());
        auto* greek = window_->findChild<QAction*>(QStringLiteral("codePage1253"));
        QVERIFY(greek);
        greek->trigger();
        QCOMPARE(Field(*window_, QStringLiteral("memoBody")), QString::fromUtf8("\u03B1\u03B2"));
        QCOMPARE(window_->decodeContext().text.eightBitPage, CodePage::Cp1253);
        QCOMPARE(fakes_->settings.values.value(kShowKey), QStringLiteral("1"));
        QCOMPARE(fakes_->settings.values.value(kPageKey), QStringLiteral("1253"));

        // The panel's CSV export follows: UTF-8 behind a byte order mark.
        window_->exportPanel().openForSelection();
        window_->exportPanel().scopeOption(0)->setChecked(true);
        window_->exportPanel().exportCsv();
        const QStringList csv = QDir(dir_.path()).entryList({QStringLiteral("*.csv")});
        QCOMPARE(csv.size(), 1);
        QFile file(dir_.filePath(csv.first()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.contains("\u4E2D\u6587"));
        QVERIFY(bytes.contains("\u03B1\u03B2"));

        // A new window reads both back.
        window_ = std::make_unique<MainWindow>(fakes_->platform);
        QVERIFY(window_->unicodeOption().on());
        QCOMPARE(window_->decodeContext().text.eightBitPage, CodePage::Cp1253);
        open(memos_);
        QCOMPARE(Label(kChinese), QString::fromUtf8("\u4E2D\u6587"));

        // Off again: as today.
        window_->unicodeOption().showAction()->trigger();
        QCOMPARE(Label(kChinese), QStringLiteral("??"));
        QVERIFY(!window_->decodeContext().text.unicode);
        QCOMPARE(fakes_->settings.values.value(kShowKey), QStringLiteral("0"));
    }
};

QTEST_MAIN(UnicodeOptionTest)
#include "unicode_option_test.moc"
