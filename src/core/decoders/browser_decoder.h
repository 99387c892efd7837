#pragma once

// The browser's databases: "Browser Bookmarks", and "Browser URLs" / "Browser History".
//
// A bookmark: field 1 its type (a small number); field 17 its id, name and folder, one after
// the other; field 18 its URL (a big-endian 16-bit length, then the text). Two layouts of field
// 17 are in use, told apart by which one reads the data exactly (see DecodeBookmarkItems):
//   per item: [present byte][length BE16][text], an item whose present byte is 0 holding nothing
//             more;
//   shared:   [present byte] once, then per item [length BE16][text].
// A visited URL: field 25, the URL behind 3 bytes of other data.

#include <array>
#include <cstdint>
#include <string>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/byte_reader.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

struct BookmarkRecord {
    enum Item { Id, Name, Folder };
    std::int32_t type = 0;
    std::array<std::string, 3> items;  // id, name, folder
    std::string url;
};

struct BrowserUrlRecord {
    std::string url;
};

inline constexpr std::uint8_t kBookmarkType = 1;
inline constexpr std::uint8_t kBookmarkItems = 17;
inline constexpr std::uint8_t kBookmarkUrl = 18;
inline constexpr std::uint8_t kBrowserUrl = kBrowserUrlFields[0].type;
inline constexpr std::size_t kBrowserUrlLead = 3;

// The id, name and folder of a field-17 body: the layout that reads all three items and ends
// on the data's last byte (or on zero bytes only) wins, the per-item one first; when neither
// does, the per-item layout gives what it could read.
std::array<std::string, 3> DecodeBookmarkItems(Bytes data, const TextOptions& options);
// The same items' bytes.
std::array<Bytes, 3> BookmarkItemBytes(Bytes data);
// The URL's bytes in a field-18 body.
Bytes BookmarkUrlBytes(Bytes data);

BookmarkRecord DecodeBookmark(const IpdImage& image, RecordSpan span, const DecodeContext& context);
BrowserUrlRecord DecodeBrowserUrl(const IpdImage& image, RecordSpan span,
                                  const DecodeContext& context);

}  // namespace orrelin
