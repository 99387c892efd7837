#include "gui/common/qt_platform.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>

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

QString QtFileDialogs::askSaveFile(QWidget* parent, const QString& filter, const QString& folder,
                                   const QString& suffix) {
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds it before it asks whether to replace a file of that name.
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

QString QtSettingsStore::read(const QString& application, const QString& section,
                              const QString& key, const QString& fallback) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, application);
    return store.value(section + QLatin1Char('/') + key, fallback).toString();
}

void QtSettingsStore::write(const QString& application, const QString& section, const QString& key,
                            const QString& value) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, application);
    store.setValue(section + QLatin1Char('/') + key, value);
    store.sync();
}

QtPlatform::QtPlatform() : platform_{messages_, files_, settings_} {}

}  // namespace orrelin::gui
