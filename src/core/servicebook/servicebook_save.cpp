#include "servicebook/servicebook_save.h"

#include "base/paths.h"
#include "io/file_output.h"
#include "ipd/ipd_format.h"
#include "ipd/ipd_writer.h"
#include "ipd/record_frame.h"

namespace orrelin {
namespace {

// A record's bytes from its database index up to its last byte.
std::optional<Bytes> WholeRecord(const BackupTree& tree, NodeId node) {
    auto span = tree.span(node);
    if (!span || span->start < kRecordHandleAt) return std::nullopt;
    return tree.image().range(span->recordStart(), span->end);
}

}  // namespace

ByteVector ServiceBookFileHeader() {
    std::string head;
    AppendIpdHeader(head, 1);
    AppendNameEntry(head, KnownDb::ServiceBook);
    return ByteVector(head.begin(), head.end());
}

std::optional<ServiceBookEntry> ServiceBookEntry::Of(const BackupTree& tree, NodeId node) {
    if (node >= tree.nodeCount() || tree.kind(node) != NodeKind::Record) return std::nullopt;
    auto record = WholeRecord(tree, node);
    if (!record) return std::nullopt;
    return ServiceBookEntry{tree, node, ByteVector(record->begin(), record->end())};
}

ByteVector AssembleServiceBookFile(const ServiceBookEntry& entry, const ByteVector& rebuilt,
                                   ServiceBookSaveKind kind) {
    ByteVector out = ServiceBookFileHeader();
    const BackupTree& tree = entry.tree;
    auto database = tree.parent(entry.node);
    if (kind == ServiceBookSaveKind::EntryOnly || !database) {
        out.insert(out.end(), rebuilt.begin(), rebuilt.end());
        return out;
    }
    const std::size_t children = tree.childCount(*database);
    for (std::size_t row = 0; row < children; ++row) {
        NodeId child = tree.child(*database, row);
        if (child == entry.node) {
            out.insert(out.end(), rebuilt.begin(), rebuilt.end());
            continue;
        }
        auto record = WholeRecord(tree, child);
        if (!record) continue;
        const std::size_t at = out.size();
        out.insert(out.end(), record->begin(), record->end());
        SetRecordDatabase(out, at, 0);  // the only database of the new file
    }
    return out;
}

std::string ServiceBookSaveName(std::string_view openedPath, std::tm when) {
    return GeneratedExportName(FolderOfPath(openedPath), when, ".ipd");
}

ServiceBookSaveResult SaveServiceBook(const ServiceBookEntry& entry,
                                      const ServiceBookFields& values, ServiceBookSaveKind kind,
                                      const std::optional<std::string>& target, std::tm when) {
    ServiceBookSaveResult result;
    BuildResult rebuilt = BuildServiceBookRecord(entry.code, values);
    if (auto* refusal = std::get_if<EditRefusal>(&rebuilt)) {
        result.refusal = *refusal;
        return result;
    }
    ByteVector bytes = AssembleServiceBookFile(entry, std::get<ByteVector>(rebuilt), kind);
    result.path = target ? *target : ServiceBookSaveName(entry.tree.path(), when);
    auto written = WriteNewFile(result.path, bytes, target ? IfTaken::Replace : IfTaken::NextName);
    if (written) {
        result.path = *written;
    } else {
        result.writeError = written.error();
    }
    return result;
}

}  // namespace orrelin
