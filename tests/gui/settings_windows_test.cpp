// The settings window and the about window, offscreen.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <memory>

#include "fakes.h"
#include "gui/browser/main_window.h"
#include "gui/browser/tree_model.h"
#include "gui/settings/frm_options.h"
#include "gui/settings/frm_splash.h"
#include "test_backups.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

namespace {

const QString kStored = QStringLiteral("orrelin_beta/TZ/tzd");
constexpr NodeId kPlacedCall = 19;  // the first call of EveryKindBackup

}  // namespace

class SettingsWindowsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString backup_;

  private Q_SLOTS:
    void initTestCase() {
        qputenv("LC_ALL", "C");
        backup_ = WriteBackup(dir_, QStringLiteral("calls.ipd"), EveryKindBackup());
    }

    void theListOffersTheHoursAndShowsTheStoredText() {
        FakePlatform fakes;
        std::string timeZone = "unset";
        fakes.settings.values[kStored] = QStringLiteral("GMT");
        FrmOptions options(fakes.platform, [&](std::string text) { timeZone = std::move(text); });
        QCOMPARE(options.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(options.tzd()->count(), 23);
        QCOMPARE(options.tzd()->itemText(0), QStringLiteral("-11"));
        QCOMPARE(options.tzd()->itemText(11), QStringLiteral("GMT"));
        QCOMPARE(options.tzd()->itemText(22), QStringLiteral("+11"));
        QCOMPARE(options.tzd()->currentText(), QStringLiteral("GMT"));
        QCOMPARE(timeZone, std::string("0"));

        fakes.settings.values[kStored] = QStringLiteral("+3");
        FrmOptions again(fakes.platform, [&](std::string text) { timeZone = std::move(text); });
        QCOMPARE(again.tzd()->currentText(), QStringLiteral("+3"));
        QCOMPARE(timeZone, std::string("+3"));
    }

    void okStoresTheChoiceAndSaysSo() {
        FakePlatform fakes;
        auto* options = new FrmOptions(fakes.platform, {});
        QPointer<FrmOptions> alive(options);
        options->show();
        options->tzd()->setCurrentText(QStringLiteral("+2"));
        QTest::mouseClick(options->cmdOK(), Qt::LeftButton);
        QCOMPARE(fakes.settings.values.value(kStored), QStringLiteral("+2"));
        QCOMPARE(fakes.messages.shown.size(), std::size_t{1});
        QCOMPARE(fakes.messages.shown[0].icon, MessageIcon::Information);
        QCOMPARE(fakes.messages.shown[0].title, QStringLiteral("Saving Settings"));
        QCOMPARE(fakes.messages.shown[0].text,
                 QStringLiteral("Settings saved, you need to reopen your IPD file."));
        QTRY_VERIFY(alive.isNull());  // closed and deleted
    }

    void cancelStoresNothing() {
        FakePlatform fakes;
        auto* options = new FrmOptions(fakes.platform, {});
        QPointer<FrmOptions> alive(options);
        options->show();
        options->tzd()->setCurrentText(QStringLiteral("+5"));
        QTest::mouseClick(options->cmdCancel(), Qt::LeftButton);
        QCOMPARE(fakes.settings.writes, 0);
        QVERIFY(fakes.messages.shown.empty());
        QTRY_VERIFY(alive.isNull());
    }

    // A saved offset counts from the next Open, or from the next time the settings window
    // loads; until then the open file keeps its times.
    void aNewOffsetTakesEffectAtTheNextOpen() {
        FakePlatform fakes;
        FrmMain window(fakes.platform);
        auto callDate = [&] {
            window.treeView().setCurrentIndex(window.treeModel().indexOf(BackupTree::kRoot));
            window.treeView().setCurrentIndex(window.treeModel().indexOf(kPlacedCall));
            return window.findChild<QLineEdit*>(QStringLiteral("ct(48)"))->text();
        };
        window.openPath(backup_);
        window.waitForOpen();
        QCOMPARE(callDate(), QStringLiteral("1/1/1970 3:00:00 AM"));

        fakes.settings.values[kStored] = QStringLiteral("+2");  // as OK in another window saves it
        QCOMPARE(callDate(), QStringLiteral("1/1/1970 3:00:00 AM"));
        window.openPath(backup_);
        window.waitForOpen();
        QCOMPARE(callDate(), QStringLiteral("1/1/1970 5:00:00 AM"));

        fakes.settings.values[kStored] = QStringLiteral("-3");
        window.Settings_Click();  // loading the settings window refreshes the offset
        QCOMPARE(window.timeZoneText(), std::string("-3"));
        QCOMPARE(callDate(), QStringLiteral("1/1/1970"));
        // The settings window is shown once, however often it is asked for.
        QWidget* first = window.optionsWindow();
        window.Settings_Click();
        QCOMPARE(window.optionsWindow(), first);
    }

    void theAboutWindowShowsTheVersionAndClosesOnAClick() {
        FakePlatform fakes;
        FrmMain window(fakes.platform);
        window.mAbout_Click();
        QPointer<QWidget> splash = window.splashWindow();
        QVERIFY(splash);
        window.mAbout_Click();
        QCOMPARE(window.splashWindow(), splash.data());  // not duplicated
        auto* about = qobject_cast<FrmSplash*>(splash.data());
        QCOMPARE(about->lblProductName()->text(), QStringLiteral("Orrelin"));
        QCOMPARE(about->lblVersion()->text(), QStringLiteral("Beta Version %1.%2.%3")
                                                  .arg(ORRELIN_VERSION_MAJOR)
                                                  .arg(ORRELIN_VERSION_MINOR)
                                                  .arg(ORRELIN_VERSION_PATCH));
        QTest::mouseClick(about->lblVersion(), Qt::LeftButton);
        QVERIFY(splash && splash->isVisible());
        QTest::mouseClick(about->editionLine(), Qt::LeftButton);
        QVERIFY(about->editionLine()->text().startsWith(QStringLiteral("Sole Developer:\r\n")));
        QVERIFY(splash && splash->isVisible());
        QTest::mouseClick(about->frame(), Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_VERIFY(splash.isNull());
    }

    void theAboutWindowClosesOnAKeyAndWhenAFileIsOpened() {
        FakePlatform fakes;
        FrmMain window(fakes.platform);
        window.mAbout_Click();
        QPointer<QWidget> splash = window.splashWindow();
        QTest::keyClick(splash.data(), Qt::Key_Space);
        QTRY_VERIFY(splash.isNull());

        window.mAbout_Click();
        splash = window.splashWindow();
        window.mOpen_Click();  // cancelled, but the about window is closed first
        QTRY_VERIFY(splash.isNull());
    }
};

QTEST_MAIN(SettingsWindowsTest)
#include "settings_windows_test.moc"
