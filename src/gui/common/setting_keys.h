#pragma once

// Every entry the window keeps in the settings file, as Qt's "section/key" paths. The time
// zone is the entry the command line reads too.

#include <QString>
#include <string_view>

#include "settings/time_zone_setting.h"

namespace orrelin::gui {

namespace setting_keys_detail {
inline QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace setting_keys_detail

inline const QString kTimeZoneSetting = setting_keys_detail::Latin1(kTimeZoneSection) +
                                        QLatin1Char('/') +
                                        setting_keys_detail::Latin1(kTimeZoneKey);
// What the time zone is without an entry.
inline const QString kTimeZoneFallback = setting_keys_detail::Latin1(kDefaultTimeZone);
inline const QString kWindowSizeSetting = QStringLiteral("Window/size");
inline const QString kShowAllDatabasesSetting = QStringLiteral("Options/showAllDatabases");
inline const QString kShowRawFieldsSetting = QStringLiteral("Options/showRawFields");
inline const QString kFullUnicodeSetting = QStringLiteral("Options/fullUnicode");
inline const QString kFullUnicodeCodePageSetting = QStringLiteral("Options/fullUnicodeCodePage");
// The version the export panel's vCard button writes.
inline const QString kVcardVersionSetting = QStringLiteral("Export/vcardVersion");
// The n-th file of File > Open Recent, from 1 (the newest); empty when there is none.
inline QString RecentFileSetting(int n) {
    return QStringLiteral("RecentFiles/file%1").arg(n);
}

}  // namespace orrelin::gui
