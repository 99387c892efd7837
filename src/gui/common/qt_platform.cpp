#include "gui/common/qt_platform.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include "settings/time_zone_setting.h"

namespace orrelin::gui {

void QtMessageBoxes::show(QWidget* parent, MessageIcon icon, const QString& title,
                          const QString& text) {
    QMessageBox box(parent);
    switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
    }
    box.setWindowTitle(title);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QString QtFileDialogs::openFile(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString QtFileDialogs::saveFile(QWidget* parent, const QString& filter, const QString& folder) {
    return QFileDialog::getSaveFileName(parent, QString(), folder, filter);
}

namespace {

QString OlderSettingsPath() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("orrelin_beta"))
        .fileName();
}

QString SettingsPath() {
    const std::string path = SettingsFilePath();
    return path.empty() ? OlderSettingsPath() : QString::fromStdString(path);
}

}  // namespace

QtSettingsStore::QtSettingsStore() : QtSettingsStore(SettingsPath(), OlderSettingsPath()) {}

QtSettingsStore::QtSettingsStore(const QString& path, const QString& olderPath) : path_(path) {
    if (path_ == olderPath || QFileInfo::exists(path_) || !QFileInfo::exists(olderPath)) return;
    const QSettings older(olderPath, QSettings::IniFormat);
    QSettings store(path_, QSettings::IniFormat);
    for (const QString& key : older.allKeys())
        store.setValue(key, older.value(key));
    store.sync();
}

QString QtSettingsStore::read(const QString& key, const QString& fallback) {
    const QSettings store(path_, QSettings::IniFormat);
    return store.value(key, fallback).toString();
}

void QtSettingsStore::write(const QString& key, const QString& value) {
    QSettings store(path_, QSettings::IniFormat);
    store.setValue(key, value);
    store.sync();
}

QtPlatform::QtPlatform() : platform_{messages_, files_, settings_} {}

}  // namespace orrelin::gui
