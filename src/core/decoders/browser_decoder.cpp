#include "decoders/browser_decoder.h"

#include "decoders/record_fields.h"
#include "decoders/text_field.h"
#include "ipd/fields.h"

namespace orrelin {
namespace {

struct ItemsRead {
    std::array<Bytes, 3> items{};
    bool exact = false;  // all three read, and nothing but zero bytes left
};

ItemsRead ReadItems(Bytes data, bool presentPerItem) {
    ItemsRead out;
    ByteReader r(data);
    if (!presentPerItem && !r.u8()) return out;
    for (Bytes& item : out.items) {
        if (presentPerItem) {
            auto present = r.u8();
            if (!present) return out;
            if (*present == 0) continue;
        }
        auto length = r.be16();
        if (!length) return out;
        auto text = r.takeExact(*length);
        if (!text) {
            item = r.take(*length);  // what the cut field holds
            return out;
        }
        item = *text;
    }
    for (std::uint8_t b : r.rest()) {
        if (b != 0) return out;
    }
    out.exact = true;
    return out;
}

}  // namespace

std::array<Bytes, 3> BookmarkItemBytes(Bytes data) {
    ItemsRead read = ReadItems(data, true);
    if (!read.exact) {
        ItemsRead shared = ReadItems(data, false);
        if (shared.exact) read = shared;
    }
    return read.items;
}

Bytes BookmarkUrlBytes(Bytes data) {
    ByteReader url(data);
    auto length = url.be16();
    return length ? url.take(*length) : Bytes{};
}

std::array<std::string, 3> DecodeBookmarkItems(Bytes data, const TextOptions& options) {
    const std::array<Bytes, 3> items = BookmarkItemBytes(data);
    std::array<std::string, 3> out;
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = EightBitText(items[i], true, options);
    return out;
}

BookmarkRecord DecodeBookmark(const IpdImage& image, RecordSpan span,
                              const DecodeContext& context) {
    BookmarkRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;
    Bytes fields = RecordFields(*body);
    record.type = SmallNumber(FindField(fields, kBookmarkType));
    record.items = DecodeBookmarkItems(FindField(fields, kBookmarkItems), context.text);
    record.url =
        EightBitText(BookmarkUrlBytes(FindField(fields, kBookmarkUrl)), true, context.text);
    return record;
}

BrowserUrlRecord DecodeBrowserUrl(const IpdImage& image, RecordSpan span,
                                  const DecodeContext& context) {
    BrowserUrlRecord record;
    auto body = RecordBody(image, span);
    if (!body) return record;
    Bytes data = Tail(FindField(RecordFields(*body), kBrowserUrl), kBrowserUrlLead);
    record.url = EightBitText(data, true, context.text);
    return record;
}

}  // namespace orrelin
