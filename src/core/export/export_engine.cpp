#include "export/export_engine.h"

#include <cctype>
#include <ctime>
#include <thread>
#include <vector>

#include "base/bytes.h"
#include "base/cores.h"
#include "base/paths.h"
#include "export/contact_names.h"
#include "export/export_writer.h"
#include "export/render_pool.h"
#include "io/file_output.h"
#include "ipd/fields.h"
#include "kinds/record_kinds.h"
#include "text/single_byte.h"
#include "text/utf16.h"

namespace orrelin {
namespace {

// Bytes gathered before they are handed to the sink.
constexpr std::size_t kFlushSize = std::size_t{1} << 20;
// Records between two progress reports.
constexpr std::uint64_t kProgressStep = 512;

// Records rendered at a time when other threads help.
constexpr std::size_t kChunk = 1024;
// Chunks each thread may take ahead of the writing.
constexpr std::size_t kChunksAheadPerThread = 2;

// Rows first to first + count of one database (its position in the record index).
struct Part {
    std::size_t database;
    std::size_t first;
    std::size_t count;
};

// Rows first to last (exclusive) of a part.
struct Chunk {
    const Part* part;
    std::size_t first;
    std::size_t last;
};

bool IsNode(const BackupTree& tree, std::optional<NodeId> node) {
    return node && *node < tree.nodeCount();
}

// The database of the scope's node, as ExportHead states it.
std::optional<std::size_t> ScopeDatabase(const BackupTree& tree, const ExportRequest& request) {
    if (request.scope == ExportScope::File || !IsNode(tree, request.node)) return std::nullopt;
    NodeId node = *request.node;
    if (request.scope == ExportScope::Record && tree.kind(node) == NodeKind::Record) {
        node = tree.parent(node).value_or(BackupTree::kRoot);
    }
    if (tree.kind(node) != NodeKind::Database) return std::nullopt;
    return static_cast<std::size_t>(node - tree.databaseNode(0));
}

class Engine {
  public:
    Engine(const BackupTree& tree, const ExportRequest& request, const ExportSink& sink,
           const ProgressCallback& progress)
        : tree_(tree),
          request_(request),
          sink_(sink),
          progress_(progress),
          scopeDatabase_(ScopeDatabase(tree, request)),
          head_{tree, request, std::nullopt, 0, 0, nullptr, {}, 0, {}} {
        if (scopeDatabase_ && tree.index().databases[*scopeDatabase_].decoded())
            head_.scopeDatabase = dbAt(*scopeDatabase_);
        head_.stampUtc =
            request.stampUtc ? *request.stampUtc : static_cast<std::int64_t>(std::time(nullptr));
        out_.reserve(kFlushSize + (std::size_t{1} << 16));
        if (InfoOf(request.format).contactNames) {
            contacts_ = CollectContactNames(tree, TextOptions{true, request.eightBitPage});
            head_.contacts = &contacts_;
        }
        head_.flush = [this] {
            if (going()) flushIfFull();
        };
        writer_ = MakeExportWriter(head_, out_);
    }

    ExportRun run() {
        const std::vector<Part> parts = resolve();
        std::vector<Chunk> chunks;
        for (const Part& part : parts) {
            total_ += part.count;
            for (std::size_t first = part.first; first < part.first + part.count; first += kChunk)
                chunks.push_back({&part, first, std::min(first + kChunk, part.first + part.count)});
        }
        head_.records = total_;
        writer_->begin();
        // Large exports render on every core while the output is written in order, but for a
        // format whose writer must stay on this thread.
        std::unique_ptr<RenderPool> pool;
        const std::size_t cores = UsableCores();
        if (chunks.size() >= 4 && !InfoOf(request_.format).oneThread && cores > 1) {
            pool = std::make_unique<RenderPool>(
                head_, chunks.size(), cores - 1, cores * kChunksAheadPerThread,
                [&chunks, this](std::size_t i, ExportWriter& writer) {
                    render(chunks[i], writer);
                });
        }
        std::string rendered;
        std::size_t i = 0;
        for (const Part& part : parts) {
            if (!going()) break;
            head_.database = part.database;
            writer_->beginDatabase(dbAt(part.database));
            for (; i < chunks.size() && chunks[i].part == &part && going(); ++i) {
                const Chunk& chunk = chunks[i];
                if (!pool) {
                    renderEach(chunk);
                    continue;
                }
                if (pool->take(i, rendered)) {
                    pass(rendered);
                    pool->reuse(std::move(rendered));
                } else {
                    render(chunk, *writer_);
                }
                chunkDone(chunk.last - chunk.first);
            }
            if (going()) writer_->endDatabase(dbAt(part.database));
        }
        pool.reset();
        if (going()) writer_->end();
        if (going() && !out_.empty() && !sink_(out_)) status_ = ExportStatus::Failed;
        if (going() && progress_ && !progress_(total_, total_)) status_ = ExportStatus::Cancelled;
        return {status_, written_};
    }

  private:
    bool going() const { return status_ == ExportStatus::Written; }
    KnownDb dbAt(std::size_t database) const { return *tree_.index().databases[database].db; }

    // Which databases, and which rows of them, the scope covers.
    std::vector<Part> resolve() const {
        std::vector<Part> parts;
        const RecordIndex& index = tree_.index();
        auto add = [&](std::size_t database, std::size_t first, std::size_t count) {
            if (FormatTakes(request_.format, tree_.index().databases[database])) {
                parts.push_back({database, first, count});
            }
        };
        switch (request_.scope) {
            case ExportScope::Record:
                if (scopeDatabase_ && tree_.kind(*request_.node) == NodeKind::Record) {
                    add(*scopeDatabase_, tree_.row(*request_.node), 1);
                }
                break;
            case ExportScope::Database:
                if (scopeDatabase_) {
                    add(*scopeDatabase_, 0, index.databases[*scopeDatabase_].records.size());
                }
                break;
            case ExportScope::File:
                for (std::size_t database = 0; database < index.databases.size(); ++database)
                    add(database, 0, index.databases[database].records.size());
                break;
        }
        return parts;
    }

    // The records of a chunk, in tree order. They lie scattered over the image, the databases'
    // records being interleaved in the file, so the next ones are fetched early.
    template <typename Each>
    void walk(const Chunk& chunk, Each each) const {
        const RecordIndex& index = tree_.index();
        const std::size_t database = chunk.part->database;
        const KnownDb db = dbAt(database);
        const std::vector<std::uint32_t>& rows = index.databases[database].records;
        const std::uint8_t* image = tree_.image().bytes().data();
        constexpr std::size_t kAhead = 4;
        const std::size_t last = std::min(chunk.last, rows.size());
        for (std::size_t row = chunk.first; row < last; ++row) {
            if (row + kAhead < last) {
                __builtin_prefetch(image + index.records[rows[row + kAhead]].span.start);
                if (row + 4 * kAhead < last)
                    __builtin_prefetch(&index.records[rows[row + 4 * kAhead]]);
            }
            if (!each(RecordItem{db, index.records[rows[row]].span, database, row,
                                 row == chunk.part->first})) {
                return;
            }
        }
    }

    void render(const Chunk& chunk, ExportWriter& writer) const {
        walk(chunk, [&](const RecordItem& item) {
            writer.record(item);
            return true;
        });
    }

    // A chunk written record by record, with progress after every kProgressStep of them.
    void renderEach(const Chunk& chunk) {
        walk(chunk, [&](const RecordItem& item) {
            writer_->record(item);
            ++written_;
            ++done_;
            flushIfFull();
            if (going() && progress_ && done_ % kProgressStep == 0 && !progress_(done_, total_)) {
                status_ = ExportStatus::Cancelled;
            }
            return going();
        });
    }

    void chunkDone(std::size_t records) {
        written_ += records;
        done_ += records;
        flushIfFull();
        if (going() && progress_ && !progress_(done_, total_)) status_ = ExportStatus::Cancelled;
    }

    // Bytes rendered apart, handed on after what the writer has appended so far.
    void pass(const std::string& bytes) {
        if (!going()) return;
        if (!out_.empty()) {
            if (!sink_(out_)) status_ = ExportStatus::Failed;
            out_.clear();
        }
        if (going() && !bytes.empty() && !sink_(bytes)) status_ = ExportStatus::Failed;
    }

    void flushIfFull() {
        if (out_.size() < kFlushSize) return;
        if (!sink_(out_)) status_ = ExportStatus::Failed;
        out_.clear();
    }

    const BackupTree& tree_;
    const ExportRequest& request_;
    const ExportSink& sink_;
    const ProgressCallback& progress_;
    const std::optional<std::size_t> scopeDatabase_;
    ExportHead head_;
    ContactNames contacts_;
    std::string out_;
    std::unique_ptr<ExportWriter> writer_;
    std::uint64_t done_ = 0;
    std::uint64_t total_ = 0;
    std::uint64_t written_ = 0;
    ExportStatus status_ = ExportStatus::Written;
};

}  // namespace

const ExportFormatInfo* ExportFormatByName(std::string_view name, std::string_view version) {
    for (const auto& info : kExportFormats) {
        if (info.name == name && (version.empty() || info.version == version)) return &info;
    }
    return nullptr;
}

std::optional<NodeId> ScopeNode(const BackupTree& tree, ExportScope scope,
                                std::optional<NodeId> selected) {
    switch (scope) {
        case ExportScope::Record:
            return selected;
        case ExportScope::Database:
            if (!IsNode(tree, selected)) return std::nullopt;
            if (tree.kind(*selected) == NodeKind::Database) return selected;
            return tree.parent(*selected);
        case ExportScope::File:
            return std::nullopt;
    }
    return std::nullopt;
}

ExportRun RenderExport(const BackupTree& tree, const ExportRequest& request, const ExportSink& sink,
                       const ProgressCallback& progress) {
    return Engine(tree, request, sink, progress).run();
}

std::string RenderExportToString(const BackupTree& tree, const ExportRequest& request) {
    std::string all;
    RenderExport(tree, request, [&all](std::string_view bytes) {
        all.append(bytes);
        return true;
    });
    return all;
}

ExportResult ExportToFile(const BackupTree& tree, const ExportRequest& request,
                          const std::string& path, const ProgressCallback& progress,
                          IfTaken ifTaken) {
    ExportResult result;
    result.path = path;
    // An export can be made again at any time: it does not wait for the disk.
    AtomicFile file(path, false, ifTaken);
    if (Status opened = file.open(); !opened) {
        result.status = ExportStatus::Failed;
        result.error = opened.error();
        return result;
    }
    ExportRun run = RenderExport(
        tree, request,
        [&](std::string_view bytes) {
            result.bytes += bytes.size();
            return file.write(bytes);
        },
        progress);
    result.status = run.status;
    result.records = run.records;
    if (run.status == ExportStatus::Failed) {
        result.error = file.error();
    } else if (run.status == ExportStatus::Written) {
        if (Status committed = file.commit(); !committed) {
            result.status = ExportStatus::Failed;
            result.error = committed.error();
        } else {
            result.path = file.path();
        }
    }
    return result;
}

std::string ExportFileName(std::string_view openedPath, ExportFormat format, std::tm when) {
    return GeneratedExportName(FolderOfPath(openedPath), when, InfoOf(format).extension);
}

namespace {

// "Export to: PATH is complete."
std::string CompletionText(std::string_view path) {
    return "Export to: " + std::string(path) + " is complete.";
}

// "1 record written.", "N records written."
std::string RecordsWrittenText(std::uint64_t records) {
    return std::to_string(records) + (records == 1 ? " record written." : " records written.");
}

// What an export that wrote `records` records in `format` warns of, empty when nothing: a
// Unicode format that took no record wrote an empty document. The text and CSV files always
// hold their banners and headings.
std::string EmptyExportWarning(ExportFormat format, std::uint64_t records) {
    const ExportFormatInfo& info = InfoOf(format);
    if (records > 0 || !info.unicode) return {};
    return "the chosen records hold nothing for " + std::string(info.name) +
           ": the file holds an empty document";
}

}  // namespace

ExportClosing ClosingMessage(std::string_view path, ExportFormat format, std::uint64_t records,
                             bool countEveryFormat) {
    ExportClosing closing{CompletionText(path), {}};
    if (!countEveryFormat && !InfoOf(format).unicode) return closing;
    closing.lines += '\n';
    closing.lines += RecordsWrittenText(records);
    closing.warning = EmptyExportWarning(format, records);
    return closing;
}

std::string ExportClosing::text() const {
    if (warning.empty()) return lines;
    std::string sentence = warning;
    sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
    return lines + "\n" + sentence + ".";
}

}  // namespace orrelin
