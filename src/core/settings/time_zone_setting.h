#pragma once

// The one per-user setting: the time-zone text, stored where the window's settings store keeps
// it. That store is an INI file, $XDG_CONFIG_HOME/orrelin_beta.conf (by default
// ~/.config/orrelin_beta.conf), holding
//
//     [TZ]
//     tzd=+3
//
// Values may be written in double quotes, with backslash escapes inside ("\"", "\\", "\n",
// "\t", ...), and a text that begins with "@" is written with "@@".

#include <optional>
#include <string>
#include <string_view>

namespace orrelin {

inline constexpr std::string_view kDefaultTimeZone = "GMT";

// The settings file of the environment: $XDG_CONFIG_HOME/orrelin_beta.conf when that variable
// names an absolute folder, else $HOME/.config/orrelin_beta.conf; empty when neither is set.
std::string TimeZoneSettingPath();

// The stored text of section "TZ", key "tzd" in the INI text of a settings file; nothing when
// the key is absent or does not hold a text.
std::optional<std::string> ParseTimeZoneSetting(std::string_view iniText);

// The stored setting read from a settings file; nothing when the file cannot be read or holds
// no such key.
std::optional<std::string> ReadTimeZoneSetting(const std::string& path);

// The stored setting of the environment's settings file, or "GMT" without one.
std::string ReadStoredTimeZone();

// The INI text with "tzd" of section "TZ" set to `value`; every other line stays as it was.
std::string WithTimeZoneSetting(std::string_view iniText, std::string_view value);

// Stores the setting in a settings file (creating it and its folder when needed), keeping the
// file's other entries. Nothing on success, else the reason.
std::optional<std::string> WriteTimeZoneSetting(const std::string& path, std::string_view value);

// The same for the environment's settings file.
std::optional<std::string> WriteStoredTimeZone(std::string_view value);

}  // namespace orrelin
