#include "gui/settings/settings_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "decoders/time_format.h"
#include "gui/common/setting_keys.h"

namespace orrelin::gui {

const QStringList& SettingsWindow::Choices() {
    static const QStringList choices{
        QStringLiteral("-11"), QStringLiteral("-10"), QStringLiteral("-9"), QStringLiteral("-8"),
        QStringLiteral("-7"),  QStringLiteral("-6"),  QStringLiteral("-5"), QStringLiteral("-4"),
        QStringLiteral("-3"),  QStringLiteral("-2"),  QStringLiteral("-1"), QStringLiteral("GMT"),
        QStringLiteral("+1"),  QStringLiteral("+2"),  QStringLiteral("+3"), QStringLiteral("+4"),
        QStringLiteral("+5"),  QStringLiteral("+6"),  QStringLiteral("+7"), QStringLiteral("+8"),
        QStringLiteral("+9"),  QStringLiteral("+10"), QStringLiteral("+11")};
    return choices;
}

SettingsWindow::SettingsWindow(Platform& platform, std::function<void(std::string)> applyTimeZone,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform), applyTimeZone_(std::move(applyTimeZone)) {
    setObjectName(QStringLiteral("settingsWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Options"));

    auto* layout = new QVBoxLayout(this);
    auto* optionTabs = new QTabWidget(this);
    optionTabs->setObjectName(QStringLiteral("optionTabs"));
    auto* page = new QWidget(optionTabs);
    optionTabs->addTab(page, QStringLiteral("Time Difference"));
    optionTabs->setTabToolTip(0, QStringLiteral("Set Options for time zone difference"));
    layout->addWidget(optionTabs);

    auto* pageLayout = new QVBoxLayout(page);
    auto* timeZoneFrame = new QGroupBox(QStringLiteral("Time Zone"), page);
    timeZoneFrame->setObjectName(QStringLiteral("timeZoneFrame"));
    pageLayout->addWidget(timeZoneFrame);
    auto* frameLayout = new QVBoxLayout(timeZoneFrame);
    auto* choiceHint = new QLabel(
        QStringLiteral("Select number of hours to add to date to reflect your timezone, default "
                       "is GMT"),
        timeZoneFrame);
    choiceHint->setObjectName(QStringLiteral("choiceHint"));
    choiceHint->setWordWrap(true);
    frameLayout->addWidget(choiceHint);
    timeZoneChoice_ = new QComboBox(timeZoneFrame);
    timeZoneChoice_->setObjectName(QStringLiteral("timeZoneChoice"));
    timeZoneChoice_->setEditable(true);
    timeZoneChoice_->setInsertPolicy(QComboBox::NoInsert);
    timeZoneChoice_->addItems(Choices());
    frameLayout->addWidget(timeZoneChoice_, 0, Qt::AlignLeft);
    auto* effectHint = new QLabel(
        QStringLiteral("Times of messages, calls and appointments are shown 3 hours after UTC "
                       "plus the number of hours chosen here: a message sent at 12:00 UTC shows "
                       "15:00 with GMT and 17:00 with +2."),
        timeZoneFrame);
    effectHint->setObjectName(QStringLiteral("effectHint"));
    effectHint->setWordWrap(true);
    frameLayout->addWidget(effectHint);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    layout->addLayout(buttons);
    connect(okButton_, &QPushButton::clicked, this, &SettingsWindow::acceptClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &SettingsWindow::cancelClicked);

    resize(420, sizeHint().height());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.left() + (available.width() - width()) / 2,
             available.top() + (available.height() - height()) / 2);
    }

    // Loading refreshes the program's time-zone text, then shows the stored text itself.
    const QString stored = platform_.settings.read(kTimeZoneSetting, kTimeZoneFallback);
    if (applyTimeZone_) applyTimeZone_(TimeZoneTextFromSetting(stored.toStdString()));
    timeZoneChoice_->setCurrentText(platform_.settings.read(kTimeZoneSetting, kTimeZoneFallback));
}

void SettingsWindow::acceptClicked() {
    const QString chosen = timeZoneChoice_->currentText();
    platform_.settings.write(kTimeZoneSetting, chosen);
    if (applyTimeZone_) applyTimeZone_(TimeZoneTextFromSetting(chosen.toStdString()));
    platform_.messages.show(
        this, MessageIcon::Information, QStringLiteral("Saving Settings"),
        QStringLiteral("Settings saved. The times shown follow the new time zone."));
    close();
}

void SettingsWindow::cancelClicked() {
    close();
}

}  // namespace orrelin::gui
