#pragma once

// The tree as `list` prints it. Kept apart from the command's definition so that, in the
// WebAssembly build, the loop over every record is compiled without exception handling (which
// the command line parser needs, and which would cost every call in the loop a round trip).

#include <string>

#include "browser/open_backup.h"
#include "decoders/decode_context.h"

namespace orrelin::cli {

// The tree in pre-order, one node a line: the root (the path as given), the databases (key TAB
// name) and their records (TAB span TAB image TAB label); after a complete walk, an empty line,
// the file name and the counts line. With text.unicode, names and labels are read in full
// Unicode. False when standard output refused the bytes.
bool WriteTree(const OpenedBackup& backup, const std::string& path, TextOptions text);

}  // namespace orrelin::cli
