#include "export/export_job.h"

#include "export/record_format.h"
#include "io/file_output.h"
#include "base/paths.h"

namespace orrelin {
namespace {

// Bytes gathered before they are handed to the sink.
constexpr std::size_t kFlushSize = std::size_t{1} << 20;
// Records between two progress reports.
constexpr std::uint64_t kProgressStep = 512;

const RecordKindInfo* KindBySelectedCaption(std::string_view caption) {
    for (const auto& info : kRecordKinds) {
        if (info.selectedCaption == caption) return &info;
    }
    return nullptr;
}

const RecordKindInfo* KindByAllCaption(std::string_view caption) {
    for (const auto& info : kRecordKinds) {
        if (info.allCaption == caption) return &info;
    }
    return nullptr;
}

class ExportRun {
  public:
    ExportRun(const BackupTree& tree, const ExportRequest& request, const DecodeContext& context,
              const ExportSink& sink, const ProgressCallback& progress)
        : tree_(tree),
          request_(request),
          context_(context),
          sink_(sink),
          progress_(progress),
          node_(request.node) {
        out_.reserve(kFlushSize + (std::size_t{1} << 16));
    }

    ExportStatus run() {
        // A node the tree does not hold selects nothing.
        if (node_ && *node_ >= tree_.nodeCount()) node_.reset();
        switch (request_.scope) {
            case ExportScope::Record:
                exportOneRecord();
                break;
            case ExportScope::Database:
                exportOneDatabase();
                break;
            case ExportScope::File:
                exportTree();
                break;
        }
        if (status_ == ExportStatus::Written && !out_.empty() && !sink_(out_)) {
            status_ = ExportStatus::Failed;
        }
        if (status_ == ExportStatus::Written && progress_ && !progress_(total_, total_)) {
            status_ = ExportStatus::Cancelled;
        }
        return status_;
    }

  private:
    bool going() const { return status_ == ExportStatus::Written; }

    void banner(std::size_t indent, std::string_view title) {
        out_.append(kBannerRow);
        out_.append(kLineBreak);
        out_.append(indent, ' ');
        out_.append(title);
        out_.append(kLineBreak);
        out_.append(kBannerRow);
        out_.append(kLineBreak);
    }

    void item(std::string_view text) {
        out_.append(text);
        out_.append(kLineBreak);
    }

    // One record item: the record's rendering behind 4 spaces per depth. `database` is what
    // the record's parent node names; records of other databases give no item.
    void record(std::optional<RecordSpan> span, const ExportDatabaseInfo* database,
                std::size_t depth) {
        if (span && database) {
            out_.append(4 * depth, ' ');
            FormatRecord(tree_.image(), *span, *database, context_, request_.format, out_);
            out_.append(kLineBreak);
        }
        ++done_;
        if (out_.size() >= kFlushSize) {
            if (!sink_(out_)) status_ = ExportStatus::Failed;
            out_.clear();
        }
        if (going() && progress_ && done_ % kProgressStep == 0 && !progress_(done_, total_)) {
            status_ = ExportStatus::Cancelled;
        }
    }

    // The records of a database node in tree order. They lie scattered over the image, the
    // databases' records being interleaved in the file, so the next ones are fetched early.
    void records(NodeId database, const ExportDatabaseInfo* info, std::size_t depth) {
        if (tree_.kind(database) != NodeKind::Database) return;
        const RecordIndex& index = tree_.index();
        const std::vector<std::uint32_t>& rows = index.databases[database - 1].records;
        const std::uint8_t* image = tree_.image().bytes().data();
        constexpr std::size_t kAhead = 4;
        for (std::size_t row = 0; row < rows.size() && going(); ++row) {
            if (row + kAhead < rows.size()) {
                __builtin_prefetch(image + index.records[rows[row + kAhead]].span.start);
                if (row + 4 * kAhead < rows.size()) {
                    __builtin_prefetch(&index.records[rows[row + 4 * kAhead]]);
                }
            }
            record(index.records[rows[row]].span, info, depth);
        }
    }

    const ExportDatabaseInfo* databaseOf(NodeId node) const {
        auto parent = tree_.parent(node);
        return parent ? ExportDatabaseByName(tree_.text(*parent)) : nullptr;
    }

    void exportOneRecord() {
        const RecordKindInfo* kind = KindBySelectedCaption(request_.caption);
        if (!kind) return;
        total_ = 1;
        banner(kOptionTitleIndent, kind->selectedTitle);
        if (node_) record(tree_.span(*node_), databaseOf(*node_), 0);
    }

    void exportOneDatabase() {
        const RecordKindInfo* kind = KindByAllCaption(request_.caption);
        if (!kind) return;
        banner(kOptionTitleIndent, kind->allTitle);
        if (request_.format == ExportFormat::Csv) item(CsvHeader(kind->kind));
        if (!node_) return;
        total_ = tree_.childCount(*node_);
        // Every child shares this parent, so its text is read once.
        records(*node_, ExportDatabaseByName(tree_.text(*node_)), 0);
    }

    // The root, its database nodes and their records in pre-order: each exportable database
    // gives its banner, then its records at depth 2.
    void exportTree() {
        std::size_t databases = tree_.childCount(BackupTree::kRoot);
        for (std::size_t row = 0; row < databases; ++row) {
            total_ += tree_.childCount(tree_.child(BackupTree::kRoot, row));
        }
        for (std::size_t row = 0; row < databases && going(); ++row) {
            NodeId database = tree_.child(BackupTree::kRoot, row);
            const ExportDatabaseInfo* info = ExportDatabaseByName(tree_.text(database));
            if (info) banner(info->titleIndent, info->title);
            records(database, info, 2);
        }
    }

    const BackupTree& tree_;
    const ExportRequest& request_;
    const DecodeContext& context_;
    const ExportSink& sink_;
    const ProgressCallback& progress_;
    std::string out_;
    std::uint64_t done_ = 0;
    std::uint64_t total_ = 0;
    std::optional<NodeId> node_;
    ExportStatus status_ = ExportStatus::Written;
};

}  // namespace

std::optional<OptionCaptions> CaptionsForDatabase(std::string_view databaseText) {
    const ExportDatabaseInfo* database = ExportDatabaseByName(databaseText);
    if (!database) return std::nullopt;
    const RecordKindInfo& kind = InfoOf(database->kind);
    return OptionCaptions{kind.selectedCaption, kind.allCaption};
}

std::optional<NodeId> ScopeNode(const BackupTree& tree, ExportScope scope,
                                std::optional<NodeId> selected) {
    switch (scope) {
        case ExportScope::Record:
            return selected;
        case ExportScope::Database:
            if (selected && *selected < tree.nodeCount()) return tree.parent(*selected);
            return std::nullopt;
        case ExportScope::File:
            return std::nullopt;
    }
    return std::nullopt;
}

ExportRequest PanelRequest(const BackupTree& tree, ExportScope scope, ExportFormat format,
                           std::string_view recordCaption, std::string_view databaseCaption,
                           std::optional<NodeId> selected) {
    ExportRequest request;
    request.format = format;
    request.scope = scope;
    if (scope == ExportScope::Record) request.caption = recordCaption;
    if (scope == ExportScope::Database) request.caption = databaseCaption;
    request.node = ScopeNode(tree, scope, selected);
    return request;
}

ExportStatus RenderExport(const BackupTree& tree, const ExportRequest& request,
                          const DecodeContext& context, const ExportSink& sink,
                          const ProgressCallback& progress) {
    return ExportRun(tree, request, context, sink, progress).run();
}

std::string RenderExportToString(const BackupTree& tree, const ExportRequest& request,
                                 const DecodeContext& context) {
    std::string all;
    RenderExport(tree, request, context, [&all](std::string_view bytes) {
        all.append(bytes);
        return true;
    });
    return all;
}

ExportResult WriteExportFile(const std::string& path,
                             const std::function<ExportStatus(const ExportSink&)>& render) {
    ExportResult result;
    result.path = path;
    // An export can be made again at any time: it does not wait for the disk.
    AtomicFile file(path, false);
    if (auto error = file.open()) {
        result.status = ExportStatus::Failed;
        result.error = *error;
        return result;
    }
    ExportStatus status = render([&](std::string_view bytes) {
        result.bytes += bytes.size();
        return file.write(bytes);
    });
    result.status = status;
    if (status == ExportStatus::Failed) {
        result.error = file.error();
    } else if (status == ExportStatus::Written) {
        if (auto error = file.commit()) {
            result.status = ExportStatus::Failed;
            result.error = *error;
        }
    }
    return result;
}

ExportResult ExportToFile(const BackupTree& tree, const ExportRequest& request,
                          const DecodeContext& context, const std::string& path,
                          const ProgressCallback& progress) {
    return WriteExportFile(path, [&](const ExportSink& sink) {
        return RenderExport(tree, request, context, sink, progress);
    });
}

std::string ExportFileName(std::string_view openedPath, ExportFormat format, std::tm when) {
    return ExportFileName(openedPath, format == ExportFormat::Csv ? ".csv" : ".txt", when);
}

std::string ExportFileName(std::string_view openedPath, std::string_view extension, std::tm when) {
    return GeneratedExportName(FolderOfPath(openedPath), when, extension);
}

std::string CompletionText(std::string_view path) {
    return "Export to: " + std::string(path) + " is complete.";
}

}  // namespace orrelin
