#pragma once

// The one setting the command line takes from the settings file: the time-zone text. The
// window keeps all its settings in that file, an INI file it writes with its own settings
// store, $XDG_CONFIG_HOME/orrelin_beta.conf (by default ~/.config/orrelin_beta.conf), holding
//
//     [TZ]
//     tzd=+3
//
// Values may be written in double quotes, with backslash escapes inside ("\"", "\\", "\n",
// "\t", ...), and a text that begins with "@" is written with "@@". Only the reading half is
// here: the window writes the file.

#include <optional>
#include <string>
#include <string_view>

namespace orrelin {

inline constexpr std::string_view kDefaultTimeZone = "GMT";
// Where the time-zone text is kept in the file.
inline constexpr std::string_view kTimeZoneSection = "TZ";
inline constexpr std::string_view kTimeZoneKey = "tzd";

// The settings file of the environment: $XDG_CONFIG_HOME/orrelin_beta.conf when that variable
// names an absolute folder, else $HOME/.config/orrelin_beta.conf (%LOCALAPPDATA% on Windows);
// empty when none is known.
std::string SettingsFilePath();

// The stored text of section "TZ", key "tzd" in the INI text of a settings file; nothing when
// the key is absent or does not hold a text.
std::optional<std::string> ParseTimeZoneSetting(std::string_view iniText);

// The stored setting of the environment's settings file, or "GMT" when the file cannot be read
// or holds no such key.
std::string ReadStoredTimeZone();

}  // namespace orrelin
