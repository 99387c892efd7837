#pragma once

// A text index of a whole backup: every record's label and decoded values in full Unicode,
// folded for searching (search/fold.h), in one buffer per part with the offsets of its texts,
// so a million records take a few arrays and no object each.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decoders/decode_context.h"
#include "ipd/ipd_format.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"
#include "search/plain_buffer.h"

namespace orrelin {

// The field a record matched in: a value's slot (as in the kind's field rows; a raw field's
// position for a database the program does not decode), or its label.
inline constexpr std::uint8_t kLabelField = 0xFF;

struct SearchMatch {
    std::uint32_t record = 0;  // position in RecordIndex::records
    std::uint8_t field = kLabelField;
    friend bool operator==(const SearchMatch&, const SearchMatch&) = default;
};

struct TextIndexOptions {
    // The 8-bit code page and the rest as the caller decodes; values are always read to
    // Unicode, and shown times (which follow the time-zone setting) are left out.
    DecodeContext context;
    // Workers building parts at once; 0 for one per processor (at most four).
    unsigned threads = 0;
    // Set by another thread to give up early; the index is then empty.
    const std::atomic<bool>* cancel = nullptr;
    // Raised by the number of records indexed as the build goes on.
    std::atomic<std::uint64_t>* progress = nullptr;
};

class TextIndex {
  public:
    TextIndex() = default;

    // Indexes every record of every database node, in tree order (database by database, each
    // database's records in file order); a record of a database the program does not decode by
    // the text reading of its raw fields (kinds/raw_fields.h).
    static TextIndex Build(const IpdImage& image, const RecordIndex& index,
                           const TextIndexOptions& options = {});

    // The records whose label or a value contains `query` once both are folded, in tree order,
    // one match a record with the first field that matched: the values in the pane's order,
    // then the label (a label that is part of a value is found as that value). A query that is a
    // phone number ("+1 (555) 010-4477") also matches the same digits with any punctuation between
    // them. An empty query matches nothing.
    std::vector<SearchMatch> search(std::string_view query) const;

    std::size_t recordCount() const;
    // Bytes held, for reports.
    std::size_t memoryBytes() const;

    // Builds the index of one part; exposed for the build's workers.
    // A piece is a value's folded text and a NUL, then the digits of each phone number in
    // it with a NUL after each.
    struct Part {
        PlainBuffer<char> text;
        PlainBuffer<std::uint32_t> pieceStart;  // where each piece starts in `text`
        PlainBuffer<std::uint8_t> pieceField;   // the field of each piece
        PlainBuffer<std::uint32_t> firstPiece;  // per record: its first piece
        PlainBuffer<std::uint32_t> records;     // per record: position in RecordIndex::records
    };

  private:
    static void searchPart(const Part& part, std::string_view needle,
                           std::vector<SearchMatch>& out);

    std::vector<Part> parts_;
};

// The caption of a matched field: "Label", the value's caption in the record's pane (its
// export caption when the pane shows it without one), or for a database the program does not
// decode "Raw Field N", its raw field counted from 1.
std::string FieldCaption(const DatabaseNode& database, std::uint8_t field);

}  // namespace orrelin
