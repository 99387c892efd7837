#include "gui/common/all_databases_option.h"

#include "gui/common/platform.h"

namespace orrelin::gui {
namespace {

const QString kStoreApplication = QStringLiteral("orrelin_beta");
const QString kOptionsSection = QStringLiteral("Options");
const QString kKey = QStringLiteral("showAllDatabases");
const QString kRawKey = QStringLiteral("showRawFields");

}  // namespace

Databases StoredDatabases(SettingsStore& settings) {
    return settings.read(kStoreApplication, kOptionsSection, kKey, QStringLiteral("0")) ==
                   QStringLiteral("1")
               ? Databases::All
               : Databases::Decoded;
}

void StoreDatabases(SettingsStore& settings, Databases which) {
    settings.write(kStoreApplication, kOptionsSection, kKey,
                   which == Databases::All ? QStringLiteral("1") : QStringLiteral("0"));
}

bool StoredRawFields(SettingsStore& settings) {
    return settings.read(kStoreApplication, kOptionsSection, kRawKey, QStringLiteral("0")) ==
           QStringLiteral("1");
}

void StoreRawFields(SettingsStore& settings, bool shown) {
    settings.write(kStoreApplication, kOptionsSection, kRawKey,
                   shown ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace orrelin::gui
