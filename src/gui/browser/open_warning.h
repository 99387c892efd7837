#pragma once

#include <QString>

#include "ipd/record_index.h"

namespace orrelin::gui {

// What a user is told about a file that opened but not as a good backup: the walk stopped
// before the end ("PATH: the walk stopped at byte offset N: WHY", the command line's words), or
// no database of the file is one this program reads. "" for a file that opened well.
QString OpenWarning(const QString& path, const RecordIndex& index);

}  // namespace orrelin::gui
