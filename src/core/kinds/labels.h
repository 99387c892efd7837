#pragma once

// One-line labels and images of record nodes, read from the record body (handle to last byte).
// They only read the bytes they are given and never fail: missing fields give empty texts.

#include <string>

#include "decoders/decode_context.h"
#include "ipd/byte_reader.h"
#include "ipd/fields.h"
#include "ipd/ipd_format.h"
#include "ipd/record_index.h"
#include "kinds/image_keys.h"
#include "text/single_byte.h"
#include "text/utf16.h"

namespace orrelin {

// Whether an SMS body is of a message the user sent (a body without the direction byte is).
bool SmsIsSent(Bytes body);
// The image of a call log record: received, placed or missed.
ImageKey CallIcon(Bytes body);

// The label and image the tree gives a record of database `db`.
SingleByteText RecordLabel(KnownDb db, Bytes body);
// The label of a record of a backup assembled from an archive, whose 16-bit fields may hold
// UTF-8 (TextOptions::wideMayBeUtf8).
SingleByteText ArchiveRecordLabel(KnownDb db, Bytes body);
ImageKey RecordImage(KnownDb db, Bytes body);
// The tree's label made from the texts in full Unicode (the exports that keep every character).
std::string UnicodeLabel(KnownDb db, Bytes body, const TextOptions& text);

// The same for a record of `database`, decoded or not.
SingleByteText RecordLabel(const DatabaseNode& database, Bytes body);
SingleByteText ArchiveRecordLabel(const DatabaseNode& database, Bytes body);
ImageKey RecordImage(const DatabaseNode& database, Bytes body);
std::string UnicodeLabel(const DatabaseNode& database, Bytes body, const TextOptions& text);

}  // namespace orrelin
