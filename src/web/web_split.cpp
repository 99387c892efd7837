#include <cstdio>

#include "splitmerge/merge.h"
#include "splitmerge/split.h"
#include "web/web_session.h"

namespace orrelin::web {
namespace {

// The writers write files: in the page's memory file system, read back and removed.
constexpr const char* kScratch = "/orrelin-web-output.ipd";

CheckTree Toggled(const Session& session, const std::vector<NodeId>& toggles) {
    CheckTree tree(session.tree());
    for (NodeId node : toggles) {
        if (node < tree.nodeCount()) tree.toggleCheck(node);
    }
    return tree;
}

SavedFile Collect(const WriteOutcome& outcome, const std::string& name) {
    SavedFile saved;
    if (!outcome.saved()) {
        saved.error = outcome.message;
    } else {
        auto written = IpdImage::Read(kScratch);
        if (!written) {
            saved.error = written.error();
        } else {
            const Bytes bytes = written->fileBytes();
            saved.bytes.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            saved.name = name;
            saved.message = SavedMessage(name);
        }
    }
    std::remove(kScratch);
    return saved;
}

}  // namespace

SavedFile SplitFile(const Session& first, const std::vector<NodeId>& toggles,
                    const std::string& name) {
    if (!first.loaded()) return {"Open a backup first.", {}, {}, {}};
    return Collect(WriteSplit(Toggled(first, toggles), kScratch), name);
}

SavedFile MergeFile(const Session& first, const std::vector<NodeId>& firstToggles,
                    const Session* second, const std::vector<NodeId>& secondToggles,
                    const std::string& name) {
    if (!first.loaded()) return {"Open a backup first.", {}, {}, {}};
    const CheckTree one = Toggled(first, firstToggles);
    std::optional<CheckTree> two;
    if (second && second->loaded()) two = Toggled(*second, secondToggles);
    return Collect(WriteMerge(one, two ? &*two : nullptr, kScratch), name);
}

}  // namespace orrelin::web
