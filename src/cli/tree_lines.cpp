#include "cli/tree_lines.h"

#include <algorithm>
#include <deque>
#include <future>
#include <string>
#include <vector>

#include "base/cores.h"
#include "base/paths.h"
#include "browser/tree_keys.h"
#include "cli/cli_support.h"
#include "kinds/image_keys.h"
#include "kinds/labels.h"
#include "text/codepage.h"

namespace orrelin::cli {
namespace {

// Output is written in pieces of about this size.
constexpr std::size_t kFlushSize = std::size_t{1} << 20;

// Writes n in decimal at `at` (room for 20 digits) and returns the end.
char* PutNumber(char* at, std::uint64_t n) {
    char digits[20];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    while (count > 0)
        *at++ = digits[--count];
    return at;
}

// How record labels are made: the tree's single-byte label of a bare backup or of one from an
// archive, or the label made from the texts in full Unicode. Chosen once per listing, so that
// the loop over a million records of a bare backup does no more than it always did.
enum class LabelForm { Plain, Archive, Unicode };

// TAB span TAB image TAB label.
template <LabelForm Form>
void AppendRecordLine(std::string& line, const IpdImage& image, const DatabaseNode& database,
                      const RecordEntry& record, const TextOptions& text) {
    // The span is put together on the stack and appended once.
    char span[48];
    char* at = span;
    *at++ = '\t';
    at = PutNumber(at, record.span.start);
    *at++ = ':';
    at = PutNumber(at, record.span.end);
    *at++ = '\t';
    line.append(span, at);
    // The walk made this entry only after checking that its body lies in the image.
    auto body = image.range(record.span.start, record.span.end);
    line += ImageKeyName(body ? RecordImage(database, *body) : ImageKey::none);
    line.push_back('\t');
    if (body) {
        if constexpr (Form == LabelForm::Unicode) {
            AppendUtf8Line(line, UnicodeLabel(database, *body, text));
        } else if constexpr (Form == LabelForm::Archive) {
            AppendSingleByteLine(line, ArchiveRecordLabel(database, *body));
        } else {
            AppendSingleByteLine(line, RecordLabel(database, *body));
        }
    }
    line.push_back('\n');
}

// A run of one database's records, rendered apart from the others: the database's own line
// first when the run is its first.
struct Piece {
    std::size_t database = 0;
    std::size_t first = 0;
    std::size_t last = 0;
    bool head = false;
};

// Records a piece holds: small enough that both cores stay busy, large enough that handing
// pieces over costs nothing to speak of.
constexpr std::size_t kPieceRecords = 8192;

std::vector<Piece> PiecesOf(const RecordIndex& index) {
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i < index.databases.size(); ++i) {
        const std::size_t rows = index.databases[i].records.size();
        pieces.push_back({i, 0, std::min(rows, kPieceRecords), true});
        for (std::size_t first = kPieceRecords; first < rows; first += kPieceRecords)
            pieces.push_back({i, first, std::min(rows, first + kPieceRecords), false});
    }
    return pieces;
}

// Each database node as key TAB name; each record node as TAB span TAB image TAB label. With
// text.unicode, database names and labels are read in full Unicode (8-bit texts through
// text.eightBitPage).
template <LabelForm Form>
void RenderPiece(std::string& out, const OpenedBackup& backup, const Piece& piece,
                 const TextOptions& text) {
    const RecordIndex& index = backup.index;
    const DatabaseNode& database = index.databases[piece.database];
    if (piece.head) {
        out += DatabaseKey(database);
        out.push_back('\t');
        if constexpr (Form == LabelForm::Unicode) {
            AppendUtf8Line(out, SingleByteToUtf8(database.name(), text.eightBitPage));
        } else {
            AppendSingleByteLine(out, database.name());
        }
        out.push_back('\n');
    }
    // A database's records lie scattered over the file (the databases' records are
    // interleaved), so the next ones are fetched early.
    constexpr std::size_t kAhead = 4;
    const std::uint8_t* image = backup.image.bytes().data();
    const std::vector<std::uint32_t>& rows = database.records;
    for (std::size_t row = piece.first; row < piece.last; ++row) {
        if (row + kAhead < piece.last) {
            const RecordSpan next = index.records[rows[row + kAhead]].span;
            __builtin_prefetch(image + next.start);
            // A label's fields mostly lie in a record's first two cache lines.
            if (next.end - next.start > 64) __builtin_prefetch(image + next.start + 64);
            // The index entries of a database lie apart too: fetched further ahead still.
            if (row + 4 * kAhead < piece.last)
                __builtin_prefetch(&index.records[rows[row + 4 * kAhead]]);
        }
        AppendRecordLine<Form>(out, backup.image, database, index.records[rows[row]], text);
    }
}

// The pieces rendered in order and handed to `write`, on the calling thread alone or, where
// there are several cores, each on a thread of its own a few pieces ahead of the writing.
template <LabelForm Form, typename Write>
bool RenderPieces(const OpenedBackup& backup, const TextOptions& text, Write&& write) {
    const std::vector<Piece> pieces = PiecesOf(backup.index);
    auto render = [&](const Piece& piece) {
        std::string out;
        out.reserve((piece.last - piece.first) * 48 + 256);
        RenderPiece<Form>(out, backup, piece, text);
        return out;
    };
    const unsigned cores = UsableCores();
    if (cores <= 1) {
        for (const Piece& piece : pieces) {
            if (!write(render(piece))) return false;
        }
        return true;
    }
    // Futures of std::async wait for their work when destroyed, so an early return leaves
    // nothing running.
    std::deque<std::future<std::string>> ahead;
    std::size_t next = 0;
    auto launch = [&] { ahead.push_back(std::async(std::launch::async, render, pieces[next++])); };
    while (next < pieces.size() && ahead.size() < 2 * std::size_t{cores})
        launch();
    while (!ahead.empty()) {
        std::string bytes = ahead.front().get();
        ahead.pop_front();
        if (next < pieces.size()) launch();
        if (!write(std::move(bytes))) return false;
    }
    return true;
}

// The tree in pre-order, one node a line: the root (the path as given), then the databases
// and their records (RenderPiece). After a complete walk, an empty line, the file name and the
// counts line.
template <LabelForm Form>
bool WriteTree(const OpenedBackup& backup, const std::string& path, const TextOptions& text) {
    const RecordIndex& index = backup.index;
    // One buffer, written out whenever it holds about the flush size.
    std::string out;
    out.reserve(kFlushSize + 4096);
    AppendUtf8Line(out, index.rootText);
    out.push_back('\n');
    const bool written = RenderPieces<Form>(backup, text, [&](std::string&& bytes) {
        out += bytes;
        if (out.size() < kFlushSize) return true;
        const bool ok = WriteOut(out);
        out.clear();
        return ok;
    });
    if (!written) return false;
    if (index.complete()) {
        out.push_back('\n');
        AppendUtf8Line(out, FileNameOfPath(path));
        out.push_back('\n');
        out += CountsLine(index);
        out.push_back('\n');
    }
    return WriteOut(out);
}

}  // namespace

bool WriteTree(const OpenedBackup& backup, const std::string& path, TextOptions text) {
    text = TextOptionsFor(backup.image, text);
    if (text.unicode) return WriteTree<LabelForm::Unicode>(backup, path, text);
    if (text.wideMayBeUtf8) return WriteTree<LabelForm::Archive>(backup, path, text);
    return WriteTree<LabelForm::Plain>(backup, path, text);
}

}  // namespace orrelin::cli
