// The settings window, the settings file it shares with the command line, and the about
// window, offscreen.

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <memory>

#include "fakes.h"
#include "gui/browser/main_menus.h"
#include "gui/browser/main_window.h"
#include "gui/browser/tree_model.h"
#include "gui/common/qt_platform.h"
#include "gui/settings/about_window.h"
#include "gui/settings/settings_window.h"
#include "settings/time_zone_setting.h"
#include "test_backups.h"

using namespace orrelin;
using namespace orrelin::gui;
using namespace orrelin::gui::testing;

namespace {

const QString kStored = QStringLiteral("TZ/tzd");
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

    // What the window stores is what the command line reads, whatever the text holds.
    void theCommandLineReadsTheTimeZoneTheWindowStores() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        QtSettingsStore store;
        QCOMPARE(store.path(), config.filePath(QStringLiteral("orrelin_beta.conf")));
        for (const char* value : {"+2", " padded ", "a,b;c=d", "@at", "quote\"back\\slash"}) {
            store.write(QStringLiteral("TZ/tzd"), QString::fromUtf8(value));
            QCOMPARE(ReadStoredTimeZone(), std::string(value));
        }
        qunsetenv("XDG_CONFIG_HOME");
    }

    // The entries of the file earlier versions wrote are taken over while the new one is absent.
    void theOlderSettingsFileIsReadOnce() {
        QTemporaryDir config;
        const QString path = config.filePath(QStringLiteral("orrelin_beta.conf"));
        const QString older = config.filePath(QStringLiteral("orrelin_beta.ini"));
        QFile file(older);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Options]\nfullUnicode=1\n\n[TZ]\ntzd=+4\n");
        file.close();
        QtSettingsStore store(path, older);
        QCOMPARE(store.read(QStringLiteral("TZ/tzd"), {}), QStringLiteral("+4"));
        QCOMPARE(store.read(QStringLiteral("Options/fullUnicode"), {}), QStringLiteral("1"));
        store.write(QStringLiteral("TZ/tzd"), QStringLiteral("-1"));
        QtSettingsStore again(path, older);  // the file now exists: the older one is left alone
        QCOMPARE(again.read(QStringLiteral("TZ/tzd"), {}), QStringLiteral("-1"));
    }

    void theListOffersTheHoursAndShowsTheStoredText() {
        FakePlatform fakes;
        std::string timeZone = "unset";
        fakes.settings.values[kStored] = QStringLiteral("GMT");
        SettingsWindow options(fakes.platform,
                               [&](std::string text) { timeZone = std::move(text); });
        QCOMPARE(options.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(options.timeZoneChoice()->count(), 23);
        QCOMPARE(options.timeZoneChoice()->itemText(0), QStringLiteral("-11"));
        QCOMPARE(options.timeZoneChoice()->itemText(11), QStringLiteral("GMT"));
        QCOMPARE(options.timeZoneChoice()->itemText(22), QStringLiteral("+11"));
        QCOMPARE(options.timeZoneChoice()->currentText(), QStringLiteral("GMT"));
        QCOMPARE(timeZone, std::string("0"));

        fakes.settings.values[kStored] = QStringLiteral("+3");
        SettingsWindow again(fakes.platform, [&](std::string text) { timeZone = std::move(text); });
        QCOMPARE(again.timeZoneChoice()->currentText(), QStringLiteral("+3"));
        QCOMPARE(timeZone, std::string("+3"));
    }

    void okStoresTheChoiceAndSaysSo() {
        FakePlatform fakes;
        auto* options = new SettingsWindow(fakes.platform, {});
        QPointer<SettingsWindow> alive(options);
        options->show();
        options->timeZoneChoice()->setCurrentText(QStringLiteral("+2"));
        QTest::mouseClick(options->okButton(), Qt::LeftButton);
        QCOMPARE(fakes.settings.values.value(kStored), QStringLiteral("+2"));
        QCOMPARE(fakes.messages.shown.size(), std::size_t{1});
        QCOMPARE(fakes.messages.shown[0].icon, MessageIcon::Information);
        QCOMPARE(fakes.messages.shown[0].title, QStringLiteral("Saving Settings"));
        QCOMPARE(fakes.messages.shown[0].text,
                 QStringLiteral("Settings saved. The times shown follow the new time zone."));
        QTRY_VERIFY(alive.isNull());  // closed and deleted
    }

    void cancelStoresNothing() {
        FakePlatform fakes;
        auto* options = new SettingsWindow(fakes.platform, {});
        QPointer<SettingsWindow> alive(options);
        options->show();
        options->timeZoneChoice()->setCurrentText(QStringLiteral("+5"));
        QTest::mouseClick(options->cancelButton(), Qt::LeftButton);
        QCOMPARE(fakes.settings.writes, 0);
        QVERIFY(fakes.messages.shown.empty());
        QTRY_VERIFY(alive.isNull());
    }

    // A saved offset applies to the open file at once: the shown record follows without being
    // chosen again. Loading the settings window takes up a value stored meanwhile.
    void aNewOffsetTakesEffectAtOnce() {
        FakePlatform fakes;
        MainWindow window(fakes.platform);
        auto shownDate = [&] {
            return window.findChild<QLineEdit*>(QStringLiteral("callDate"))->text();
        };
        window.openPath(backup_);
        window.waitForOpen();
        window.treeView().setCurrentIndex(window.treeModel().indexOf(kPlacedCall));
        QCOMPARE(shownDate(), QStringLiteral("1/1/1970 3:00:00 AM"));

        window.showSettings();
        auto* options = qobject_cast<SettingsWindow*>(window.settingsWindow());
        options->timeZoneChoice()->setCurrentText(QStringLiteral("+2"));
        QTest::mouseClick(options->okButton(), Qt::LeftButton);
        QCOMPARE(shownDate(), QStringLiteral("1/1/1970 5:00:00 AM"));

        fakes.settings.values[kStored] = QStringLiteral("-3");
        QTRY_VERIFY(!window.settingsWindow());
        window.showSettings();
        QCOMPARE(window.timeZoneText(), std::string("-3"));
        QCOMPARE(shownDate(), QStringLiteral("1/1/1970"));
        // The settings window is shown once, however often it is asked for.
        QWidget* first = window.settingsWindow();
        window.showSettings();
        QCOMPARE(window.settingsWindow(), first);
    }

    // File > Open Recent: newest first, each file once, five at most, remembered; a file that is
    // gone is taken off the list with a warning.
    void theRecentFilesAreTheLastFiveOpened() {
        FakePlatform fakes;
        QStringList opened;
        for (const char* name : {"1.ipd", "2.ipd", "3.ipd", "4.ipd", "5.ipd", "6.ipd", "3.ipd"}) {
            const QString path =
                QFileInfo(dir_.filePath(QString::fromLatin1(name))).absoluteFilePath();
            if (!QFile::exists(path))
                WriteBackup(dir_, QString::fromLatin1(name), EveryKindBackup());
            MainWindow window(fakes.platform);  // a new window reads the list from the store
            window.openPath(path);
            window.waitForOpen();
        }
        MainWindow window(fakes.platform);
        auto listed = [&] {
            QStringList paths;
            for (QAction* item : window.menus().recentFiles->actions())
                paths << QFileInfo(item->data().toString()).fileName();
            return paths;
        };
        QCOMPARE(listed(), (QStringList{"3.ipd", "6.ipd", "5.ipd", "4.ipd", "2.ipd"}));
        QCOMPARE(window.menus().recentFiles->actions().first()->text(),
                 QStringLiteral("&1 ") + QDir::toNativeSeparators(dir_.filePath("3.ipd")));

        QFile::remove(dir_.filePath(QStringLiteral("6.ipd")));
        window.menus().recentFiles->actions()[1]->trigger();
        QCOMPARE(fakes.messages.shown.size(), std::size_t{1});
        QVERIFY(fakes.messages.shown[0].text.contains(QStringLiteral("no longer exists")));
        QVERIFY(!window.isOpening());
        QCOMPARE(listed(), (QStringList{"3.ipd", "5.ipd", "4.ipd", "2.ipd"}));
    }

    void theAboutWindowShowsTheVersionAndClosesOnAClick() {
        FakePlatform fakes;
        MainWindow window(fakes.platform);
        window.showAbout();
        QPointer<QWidget> splash = window.aboutWindow();
        QVERIFY(splash);
        window.showAbout();
        QCOMPARE(window.aboutWindow(), splash.data());  // not duplicated
        auto* about = qobject_cast<AboutWindow*>(splash.data());
        QCOMPARE(about->productNameLabel()->text(), QStringLiteral("Orrelin"));
        QCOMPARE(about->versionLabel()->text(), QStringLiteral("Beta Version %1.%2.%3")
                                                    .arg(ORRELIN_VERSION_MAJOR)
                                                    .arg(ORRELIN_VERSION_MINOR)
                                                    .arg(ORRELIN_VERSION_PATCH));
        QTest::mouseClick(about->versionLabel(), Qt::LeftButton);
        QVERIFY(splash && splash->isVisible());
        QTest::mouseClick(about->editionLine(), Qt::LeftButton);
        QVERIFY(about->editionLine()->text().startsWith(QStringLiteral("Sole Developer:\r\n")));
        QVERIFY(splash && splash->isVisible());
        QTest::mouseClick(about->frame(), Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_VERIFY(splash.isNull());
    }

    void theAboutWindowClosesOnItsButtonAKeyAndAnOpen() {
        FakePlatform fakes;
        MainWindow window(fakes.platform);
        window.showAbout();
        QPointer<QWidget> splash = window.aboutWindow();
        QTest::keyClick(splash.data(), Qt::Key_Space);
        QTRY_VERIFY(splash.isNull());

        window.showAbout();
        splash = window.aboutWindow();
        QTest::mouseClick(qobject_cast<AboutWindow*>(splash.data())->closeButton(), Qt::LeftButton);
        QTRY_VERIFY(splash.isNull());

        window.showAbout();
        splash = window.aboutWindow();
        window.openFromDialog();  // cancelled, but the about window is closed first
        QTRY_VERIFY(splash.isNull());
    }
};

QTEST_MAIN(SettingsWindowsTest)
#include "settings_windows_test.moc"
