#pragma once

// The remembered window option "Show All Databases": whether opened backups show the databases
// the program does not decode too (kept beside the window's other settings, off by default).

#include "ipd/record_index.h"

namespace orrelin::gui {

class SettingsStore;

Databases StoredDatabases(SettingsStore& settings);
void StoreDatabases(SettingsStore& settings, Databases which);

// The remembered option "Show Raw Fields": whether a decoded record's raw fields show below its
// pane (off by default).
bool StoredRawFields(SettingsStore& settings);
void StoreRawFields(SettingsStore& settings, bool shown);

}  // namespace orrelin::gui
