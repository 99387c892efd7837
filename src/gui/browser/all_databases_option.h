#pragma once

// The remembered window option "Show All Databases": whether opened backups show the databases
// the program does not decode too (kept beside the window's other settings, off by default).

#include "ipd/record_index.h"

namespace orrelin::gui {

class SettingsStore;

Databases StoredDatabases(SettingsStore& settings);
void StoreDatabases(SettingsStore& settings, Databases which);

}  // namespace orrelin::gui
