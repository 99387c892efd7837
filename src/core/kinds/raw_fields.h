#pragma once

// The raw reading of a record of any database, decoded or not: its fields one by one, each with
// its type, the length it states, its bytes in hex and a text reading. The window's raw pane,
// `orrelin-cli show` and the JSON export of the databases the program does not decode read
// records through here, and the tree labels their records by the same rule.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ipd/byte_reader.h"
#include "ipd/fields.h"
#include "ipd/ipd_format.h"
#include "kinds/image_keys.h"
#include "text/single_byte.h"

namespace orrelin {

// The fields of a record body (handle to last byte) in their order, as FieldWalker walks them.
std::vector<RawField> ReadRawFields(Bytes body);

// The bytes as uppercase hex pairs separated by spaces: "48 69 00".
std::string RawHex(Bytes data);
// The bytes as text: each printable ASCII byte (0x20 to 0x7E) as itself, every other one as a
// dot. Plain ASCII, so it is the same single-byte text and UTF-8.
std::string RawText(Bytes data);

// The tree's label of a record of a database the program does not decode: the text reading of
// its first field of at least two bytes that are all printable ASCII but for one closing zero
// byte, cut to 60 characters; else "Record " and its handle, or "Record" when it has none.
SingleByteText RawLabel(Bytes body);
// Its tree image.
inline ImageKey RawImage(Bytes) {
    return ImageKey::db;
}

}  // namespace orrelin
