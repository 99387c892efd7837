#pragma once

#include <optional>

#include "browser/backup_tree.h"
#include "decoders/decode_context.h"

namespace orrelin::gui {

class DetailPanes;

// Decodes the record at `node` and shows it in the pane of its database, or its raw fields in
// the raw pane when the program does not decode its database. Returns the database shown, or
// nothing for the root, a database node, a raw record, or a record whose database the pane set
// does not know by its (possibly edited) name. With `rawToo` a decoded record's raw fields are
// shown below its pane as well.
std::optional<KnownDb> ShowRecord(DetailPanes& panes, const BackupTree& tree, NodeId node,
                                  const DecodeContext& context, bool rawToo = false);

}  // namespace orrelin::gui
