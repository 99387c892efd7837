#include "gui/browser/record_dispatch.h"

#include "gui/browser/detail_panes.h"

namespace orrelin::gui {

std::optional<KnownDb> ShowRecord(DetailPanes& panes, const BackupTree& tree, NodeId node,
                                  const DecodeContext& context, bool rawToo) {
    if (node >= tree.nodeCount() || tree.kind(node) != NodeKind::Record) return std::nullopt;
    if (!tree.databaseOf(node)->decoded()) {
        const RecordSpan span = *tree.span(node);
        panes.showRaw(ReadRawFields(tree.image().range(span.start, span.end).value_or(Bytes{})));
        return std::nullopt;
    }
    auto db = tree.databaseByParentText(node);
    auto span = tree.span(node);
    if (!db || !span) return std::nullopt;

    const IpdImage& image = tree.image();
    switch (*db) {
        case KnownDb::Sms:
            panes.showSms(DecodeSms(image, *span, context));
            break;
        case KnownDb::AddressBookAll:
        case KnownDb::AddressBook:
            panes.showContact(DecodeContact(image, *span, IsAllForm(*db), context));
            break;
        case KnownDb::Memos:
            panes.showMemo(DecodeMemo(image, *span, context));
            break;
        case KnownDb::Tasks:
            panes.showTask(DecodeTask(image, *span, context));
            break;
        case KnownDb::Calendar:
        case KnownDb::CalendarAll:
            panes.showCalendar(DecodeCalendar(image, *span, IsAllForm(*db), context));
            break;
        case KnownDb::ServiceBook:
            panes.showServiceBook(DecodeServiceBook(image, *span));
            break;
        case KnownDb::PhoneCallLogs:
            panes.showCall(DecodeCall(image, *span, context));
            break;
        case KnownDb::Messages:
        case KnownDb::PinMessages:
        case KnownDb::SavedEmail:
        case KnownDb::BrowserBookmarks:
        case KnownDb::BrowserUrls:
        case KnownDb::BrowserHistory:
        case KnownDb::TimeZones: {
            RecordValues values;
            DecodeRecord(image, *db, *span, context, values);
            panes.showValues(KindOf(*db).kind, values);
            break;
        }
    }
    if (rawToo) panes.showRaw(ReadRawFields(image.range(span->start, span->end).value_or(Bytes{})));
    return db;
}

}  // namespace orrelin::gui
