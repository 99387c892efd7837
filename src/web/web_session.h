#pragma once

// What the page asks of an opened backup, each answer a JSON document (or the bytes of a file to
// save), made by the same core calls the command line and the window make. The page's worker
// holds one session per backup: the one shown, and the second file of a merge.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/backup_tree.h"
#include "decoders/decode_context.h"
#include "io/progress.h"
#include "search/text_index.h"
#include "splitmerge/check_tree.h"

namespace orrelin::web {

// The page's options, as its Options menu holds them.
struct ViewOptions {
    std::string timeZone = "GMT";  // "-11" to "+11" or "GMT"
    bool unicode = false;          // Show Full Unicode
    CodePage eightBitPage = CodePage::Cp1252;
    bool allDatabases = false;

    DecodeContext context(const IpdImage& image) const;
};

// A file to save: its bytes and the name it is offered under, or why there is none.
struct SavedFile {
    std::string error;
    std::string name;
    std::string bytes;
    // What the program says on success ("Export to: NAME is complete.", ...).
    std::string message;
};

class Session {
  public:
    // Opens the file's bytes (`length` bytes at the start of `block`) under `name`; on failure
    // the session keeps the backup it had. Returns {"ok":true,...} with the status line and the
    // warnings, or {"ok":false,"error":"NAME: REASON"}.
    std::string open(std::shared_ptr<std::uint8_t[]> block, std::size_t length,
                     const std::string& name, bool allDatabases, const ProgressCallback& progress);

    bool loaded() const { return tree_.has_value(); }
    const BackupTree& tree() const { return *tree_; }

    // The tree: per database its node id, key, name and number of records.
    std::string treeJson(const ViewOptions& options) const;
    // The records of the database at node `database`: [node id, label, image] each.
    std::string recordsJson(NodeId database, const ViewOptions& options) const;
    // The pane of one record: its title, rows (slot, caption, tab, shape, value) and, when asked
    // for or the database is not decoded, its raw fields.
    std::string recordJson(NodeId node, const ViewOptions& options, bool rawFields) const;
    // The records whose label or a value holds `query`, as `orrelin-cli find` reports them.
    std::string findJson(const std::string& query);

    // An export in the format of row `format` of the format table.
    SavedFile exportFile(std::size_t format, int scope, std::optional<NodeId> selected,
                         const ViewOptions& options, const ProgressCallback& progress) const;
    // The service book entry at `node` saved with `values` (22 texts, UTF-8) alone or with
    // every entry of its database.
    SavedFile saveServiceBook(NodeId node, const std::vector<std::string>& values,
                              bool allEntries) const;

  private:
    std::optional<BackupTree> tree_;
    std::unique_ptr<TextIndex> index_;
};

// A split of `first`: the nodes toggled in order, as clicks in the split window would.
SavedFile SplitFile(const Session& first, const std::vector<NodeId>& toggles,
                    const std::string& name);
// A merge: nodes toggled in `first`, then in `second` (which may be null).
SavedFile MergeFile(const Session& first, const std::vector<NodeId>& firstToggles,
                    const Session* second, const std::vector<NodeId>& secondToggles,
                    const std::string& name);

}  // namespace orrelin::web
