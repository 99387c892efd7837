#include "gui/common/all_databases_option.h"

#include "gui/common/platform.h"
#include "gui/common/setting_keys.h"

namespace orrelin::gui {
Databases StoredDatabases(SettingsStore& settings) {
    return settings.read(kShowAllDatabasesSetting, QStringLiteral("0")) == QStringLiteral("1")
               ? Databases::All
               : Databases::Decoded;
}

void StoreDatabases(SettingsStore& settings, Databases which) {
    settings.write(kShowAllDatabasesSetting,
                   which == Databases::All ? QStringLiteral("1") : QStringLiteral("0"));
}

bool StoredRawFields(SettingsStore& settings) {
    return settings.read(kShowRawFieldsSetting, QStringLiteral("0")) == QStringLiteral("1");
}

void StoreRawFields(SettingsStore& settings, bool shown) {
    settings.write(kShowRawFieldsSetting, shown ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace orrelin::gui
