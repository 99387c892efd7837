#include "kinds/record_kinds.h"

#include <algorithm>
#include <utility>

#include "decoders/browser_decoder.h"
#include "decoders/calendar_decoder.h"
#include "decoders/call_decoder.h"
#include "decoders/contact_decoder.h"
#include "decoders/html_text.h"
#include "decoders/mail_decoder.h"
#include "decoders/memo_decoder.h"
#include "decoders/servicebook_decoder.h"
#include "decoders/sms_decoder.h"
#include "decoders/task_decoder.h"
#include "decoders/text_field.h"
#include "decoders/timezone_decoder.h"
#include "ipd/fields.h"
#include "kinds/labels.h"
#include "kinds/raw_fields.h"

namespace orrelin {
namespace {

template <std::size_t N>
void TakeTexts(std::array<std::string, N>& texts, std::size_t count, RecordValues& out) {
    static_assert(N <= RecordValues::kMaxSlots);
    count = std::min(count, N);
    for (std::size_t i = 0; i < count; ++i)
        out.texts[i] = std::move(texts[i]);
    out.count = count;
    out.firstInstant.reset();
    out.secondInstant.reset();
    out.photo = {};
    out.number = 0;
}

void Sms(const IpdImage& image, RecordSpan span, bool, const DecodeContext& context,
         RecordValues& out) {
    SmsRecord r = DecodeSms(image, span, context);
    TakeTexts(r.values, r.values.size(), out);
    out.firstInstant = r.sentUtc;
    out.secondInstant = r.receivedUtc;
}

void Contact(const IpdImage& image, RecordSpan span, bool allForm, const DecodeContext& context,
             RecordValues& out) {
    ContactRecord r = DecodeContact(image, span, allForm, context);
    TakeTexts(r.values, kContactFields.size(), out);
    out.photo = r.photo;
}

void Calendar(const IpdImage& image, RecordSpan span, bool allForm, const DecodeContext& context,
              RecordValues& out) {
    CalendarRecord r = DecodeCalendar(image, span, allForm, context);
    TakeTexts(r.values, r.values.size(), out);
    out.firstInstant = r.startUtc;
    out.secondInstant = r.endUtc;
}

void Task(const IpdImage& image, RecordSpan span, bool, const DecodeContext& context,
          RecordValues& out) {
    TaskRecord r = DecodeTask(image, span, context);
    TakeTexts(r.values, r.values.size(), out);
}

void Memo(const IpdImage& image, RecordSpan span, bool, const DecodeContext& context,
          RecordValues& out) {
    MemoRecord r = DecodeMemo(image, span, context);
    TakeTexts(r.values, r.values.size(), out);
}

void Call(const IpdImage& image, RecordSpan span, bool, const DecodeContext& context,
          RecordValues& out) {
    CallRecord r = DecodeCall(image, span, context);
    TakeTexts(r.values, r.values.size(), out);
    out.firstInstant = r.timeUtc;
    out.number = r.durationSeconds;
}

void ServiceBook(const IpdImage& image, RecordSpan span, bool, const DecodeContext& context,
                 RecordValues& out) {
    ServiceBookFields r = DecodeServiceBook(image, span, context.text);
    TakeTexts(r.values, r.values.size(), out);
}

// "Name <address>", or the one of the two there is.
void AppendAddress(std::string& out, const MailAddress& address) {
    if (address.empty()) return;
    if (!out.empty()) out += ", ";
    if (address.address.empty()) {
        out += address.name;
    } else if (address.name.empty() || address.name == address.address) {
        out += address.address;
    } else {
        out += address.name + " <" + address.address + ">";
    }
}

std::string Addresses(const std::vector<MailAddress>& addresses) {
    std::string out;
    for (const MailAddress& address : addresses)
        AppendAddress(out, address);
    return out;
}

std::string Address(const MailAddress& address) {
    std::string out;
    AppendAddress(out, address);
    return out;
}

void Mail(const IpdImage& image, RecordSpan span, bool, const DecodeContext& context,
          RecordValues& out) {
    MailRecord r = DecodeMail(image, span, context);
    std::array<std::string, kMailFields.size()> texts{
        Address(r.from.empty() ? r.sender : r.from),
        Addresses(r.to),
        Addresses(r.cc),
        Addresses(r.bcc),
        Address(r.replyTo),
        std::move(r.subject),
        r.attachmentReferences ? std::to_string(r.attachmentReferences) : std::string(),
        r.messageId ? std::to_string(*r.messageId) : std::string(),
        !r.plainBody.empty() ? std::move(r.plainBody)
                             : HtmlAsText(r.htmlBody, !context.text.unicode),
    };
    TakeTexts(texts, texts.size(), out);
    out.number = static_cast<std::int64_t>(r.attachmentReferences);
}

void Bookmark(const IpdImage& image, RecordSpan span, bool, const DecodeContext& context,
              RecordValues& out) {
    BookmarkRecord r = DecodeBookmark(image, span, context);
    std::array<std::string, kBookmarkFields.size()> texts{
        std::move(r.items[BookmarkRecord::Name]), std::move(r.url),
        std::move(r.items[BookmarkRecord::Folder]), std::move(r.items[BookmarkRecord::Id]),
        std::to_string(r.type)};
    TakeTexts(texts, texts.size(), out);
}

void BrowserUrl(const IpdImage& image, RecordSpan span, bool, const DecodeContext& context,
                RecordValues& out) {
    std::array<std::string, 1> texts{DecodeBrowserUrl(image, span, context).url};
    TakeTexts(texts, texts.size(), out);
}

template <typename Number>
std::string NumberText(const std::optional<Number>& n) {
    return n ? std::to_string(static_cast<std::int64_t>(*n)) : std::string();
}

void TimeZone(const IpdImage& image, RecordSpan span, bool, const DecodeContext& context,
              RecordValues& out) {
    TimeZoneRecord r = DecodeTimeZone(image, span, context);
    std::array<std::string, kTimeZoneFields.size()> texts{
        std::move(r.name),
        r.utcOffsetMinutes ? UtcOffsetText(*r.utcOffsetMinutes) : std::string(),
        NumberText(r.dstOffset),
        NumberText(r.startMonth),
        NumberText(r.endMonth),
        NumberText(r.index),
        NumberText(r.zoneType)};
    TakeTexts(texts, texts.size(), out);
}

// A message's subject: its 16-bit field, else the 8-bit one up to its closing zero byte.
LabelPieces MailSubject(Bytes fields) {
    constexpr const FieldRow& subject = FieldOf(kMailFields, 5);
    LabelPieces out;
    if (Bytes wide = FindField(fields, subject.wideType); !wide.empty()) {
        out.add(wide, true);
        return out;
    }
    Bytes data = FindField(fields, subject.type);
    std::size_t n = 0;
    while (n < data.size() && data[n] != 0)
        ++n;
    out.add(data.first(n), false);
    return out;
}

// A bookmark's name among its items, else its URL.
LabelPieces BookmarkName(Bytes fields) {
    LabelPieces out;
    out.add(BookmarkItemBytes(FindField(fields, kBookmarkItems))[BookmarkRecord::Name], false);
    out.add(BookmarkUrlBytes(FindField(fields, kBookmarkUrl)), false);
    return out;
}

// A visited page's URL, behind the bytes that lead its field.
LabelPieces VisitedUrl(Bytes fields) {
    LabelPieces out;
    out.add(Tail(FindField(fields, kBrowserUrl), kBrowserUrlLead), false);
    return out;
}

template <ImageKey Key>
ImageKey Always(Bytes) {
    return Key;
}
ImageKey SmsImage(Bytes body) {
    return SmsIsSent(body) ? ImageKey::sent : ImageKey::receivedsms;
}

// The widgets' object names of each pane, in the order the pane shows its fields.
constexpr std::array<std::string_view, 6> kSmsPane{"smsDirection", "smsFolder", "smsSent",
                                                   "smsReceived",  "smsNumber", "smsText"};
constexpr std::array<std::string_view, 34> kContactPane{
    "title",      "firstName",  "lastName",    "company",      "jobTitle",     "email",
    "workPhone1", "workPhone2", "homePhone1",  "homePhone2",   "mobilePhone",  "pager",
    "fax",        "pin",        "otherNumber", "workAddress1", "workAddress2", "workCity",
    "workState",  "workZip",    "workCountry", "homeAddress1", "homeAddress2", "homeCity",
    "homeState",  "homeZip",    "homeCountry", "birthday",     "anniversary",  "category",
    "webPage",    "facebook",   "yahoo",       "contactNotes"};
constexpr std::array<std::string_view, 4> kTaskPane{"taskTitle", "taskStatus", "taskPriority",
                                                    "taskNotes"};
constexpr std::array<std::string_view, 2> kMemoPane{"memoTitle", "memoBody"};
constexpr std::array<std::string_view, 6> kCalendarPane{"subject", "location", "start",
                                                        "end",     "duration", "appointmentNotes"};
constexpr std::array<std::string_view, 6> kCallPane{"callName",     "callNumber",    "callDate",
                                                    "callDuration", "callDirection", "callStatus"};
constexpr std::array<std::string_view, 9> kMailPane{
    "mailFrom",    "mailTo",          "mailCc",        "mailBcc", "mailReplyTo",
    "mailSubject", "mailAttachments", "mailMessageId", "mailBody"};
constexpr std::array<std::string_view, 5> kBookmarkPane{
    "bookmarkName", "bookmarkUrl", "bookmarkFolder", "bookmarkId", "bookmarkType"};
constexpr std::array<std::string_view, 1> kBrowserUrlPane{"browserUrl"};
constexpr std::array<std::string_view, 7> kTimeZonePane{
    "zoneName",   "zoneUtcOffset", "zoneDstOffset", "zoneDstStart",
    "zoneDstEnd", "zoneIndex",     "zoneType"};

// One row a kind, in the order of RecordKind. A label row names slots of the kind's field table
// or, where the label needs reading of its own, a reader.
constexpr std::array<KindInfo, kRecordKindCount> kKinds{{
    {RecordKind::Sms,
     kSmsFields,
     kSmsExtras,
     {"Export Selected SMS Message", "Export All SMS Messages", "SMS Message", "SMS Message"},
     {"SMS Messages", "smsPane", kSmsPane, kSmsPaneShapes, {}, {}, "", 1},
     Sms,
     {{SmsRecord::Number, 0}, 1, LabelJoin::Title, "", nullptr, kSmsFieldsOffset}},
    {RecordKind::Address,
     kContactFields,
     kContactExtras,
     {"Export Selected Address", "Export All Addresses", "Address Book", "Address Book", true},
     {"Contacts", "contactPane", kContactPane, kContactPaneShapes, kContactPaneTabs,
      kContactPaneOrder, "", 0, false, "contactPhoto"},
     Contact,
     {{ContactRecord::FirstName, ContactRecord::LastName},
      2,
      LabelJoin::Names,
      "",
      nullptr,
      kBodyFieldsAt}},
    {RecordKind::Task,
     kTaskFields,
     {},
     {"Export Selected Task", "Export All Tasks", "Task", "Tasks"},
     {"Tasks", "taskPane", kTaskPane, kTaskPaneShapes, {}, {}, "", 3},
     Task,
     {{0, 0}, 1, LabelJoin::Title, "", nullptr, kBodyFieldsAt}},
    {RecordKind::Memo,
     kMemoFields,
     {},
     {"Export Selected Memo", "Export All Memos", "Memo", "Memos"},
     {"Memos", "memoPane", kMemoPane, kMemoPaneShapes, {}, {}, "memoBody", 2},
     Memo,
     {{0, 0}, 1, LabelJoin::Title, "", nullptr, kBodyFieldsAt}},
    {RecordKind::Calendar,
     kCalendarFields,
     kCalendarExtras,
     {"Export Selected Calendar", "Export All Calendar", "Calendar", "Calendar"},
     {"Calendar", "calendarPane", kCalendarPane, kCalendarPaneShapes, {}, {}, "", 5},
     Calendar,
     {{0, 0}, 1, LabelJoin::Title, "", nullptr, kBodyFieldsAt}},
    {RecordKind::PhoneCall,
     kCallFields,
     kCallExtras,
     {"Export Selected Phone Call", "Export All Phone Calls", "Phone Calls", "Phone Calls"},
     {"Phone Calls Log", "callLogPane", kCallPane, {}, {}, {}, "", 6},
     Call,
     {{CallRecord::Name, CallRecord::Number},
      2,
      LabelJoin::FirstShown,
      "Unknown Number",
      nullptr,
      kBodyFieldsAt}},
    {RecordKind::ServiceBook,
     kServiceBookFields,
     kServiceBookExtras,
     {},
     {"Service Book", "serviceBookPane", {}, {}, {}, {}, "", 4, true, "", PaneLayout::ServiceBook},
     ServiceBook,
     {{17, 0}, 1, LabelJoin::Title, "", nullptr, kBodyFieldsAt}},
    {RecordKind::Mail,
     kMailFields,
     kMailExtras,
     {"Export Selected Message", "Export All Messages", "Message", "Messages", true},
     {"Messages", "mailPane", kMailPane, kMailPaneShapes, {}, {}, "mailBody", 7},
     Mail,
     {{0, 0}, 0, LabelJoin::FirstShown, "(no subject)", MailSubject, kBodyFieldsAt}},
    {RecordKind::Bookmark,
     kBookmarkFields,
     {},
     {"Export Selected Bookmark", "Export All Bookmarks", "Bookmark", "Bookmarks"},
     {"Browser Bookmarks", "bookmarkPane", kBookmarkPane, {}, {}, {}, "", 8},
     Bookmark,
     {{0, 0}, 0, LabelJoin::FirstShown, "", BookmarkName, kBodyFieldsAt}},
    {RecordKind::BrowserUrl,
     kBrowserUrlFields,
     {},
     {"Export Selected URL", "Export All URLs", "Browser URL", "Browser URLs"},
     {"Browser URLs", "browserUrlPane", kBrowserUrlPane, {}, {}, {}, "", 9},
     BrowserUrl,
     {{0, 0}, 0, LabelJoin::FirstShown, "", VisitedUrl, kBodyFieldsAt}},
    {RecordKind::TimeZone,
     kTimeZoneFields,
     {},
     {"Export Selected Time Zone", "Export All Time Zones", "Time Zone", "Time Zones"},
     {"Time Zones", "timeZonePane", kTimeZonePane, {}, {}, {}, "", 10},
     TimeZone,
     {{0, 0}, 1, LabelJoin::Title, "", nullptr, kBodyFieldsAt}},
    {RecordKind::Raw,
     {},
     {},
     {},
     {"Raw Fields", "rawPane", {}, {}, {}, {}, "", 11, false, "", PaneLayout::RawFields},
     nullptr,
     {{0, 0}, 0, LabelJoin::Title, "", nullptr, kBodyFieldsAt}},
}};

// One row a recognised database, in the order of KnownDb.
constexpr std::array<DatabaseKind, kKnownDbCount> kDatabases{{
    {KnownDb::Sms, RecordKind::Sms, 27, "SMS Messages", 0, 1, "SMS Messages", SmsImage},
    {KnownDb::AddressBookAll, RecordKind::Address, 27, "Address Book", 2, 2, "Address Book (All)",
     Always<ImageKey::addressbook>},
    {KnownDb::AddressBook, RecordKind::Address, 27, "Address Book", 1, 0, "",
     Always<ImageKey::mobile>},
    {KnownDb::Memos, RecordKind::Memo, 26, "Memos", 3, 4, "Memos", Always<ImageKey::memos>},
    {KnownDb::Tasks, RecordKind::Task, 26, "Tasks", 4, 3, "Tasks", Always<ImageKey::tasks>},
    {KnownDb::Calendar, RecordKind::Calendar, 26, "Calendar", 5, 0, "",
     Always<ImageKey::calendars>},
    {KnownDb::CalendarAll, RecordKind::Calendar, 26, "Calendar", 6, 5, "Calendar",
     Always<ImageKey::calendars>},
    {KnownDb::ServiceBook, RecordKind::ServiceBook, 0, "", 7, 7, "Service Book",
     Always<ImageKey::servicebook>},
    {KnownDb::PhoneCallLogs, RecordKind::PhoneCall, 26, "Phone Call Logs", 8, 6, "Phone Calls",
     CallIcon},
    {KnownDb::Messages, RecordKind::Mail, 26, "Messages", 9, 0, "", Always<ImageKey::mail>},
    {KnownDb::PinMessages, RecordKind::Mail, 26, "PIN Messages", 10, 0, "",
     Always<ImageKey::ballon>},
    {KnownDb::SavedEmail, RecordKind::Mail, 26, "Saved Email Messages", 11, 0, "",
     Always<ImageKey::mail>},
    {KnownDb::BrowserBookmarks, RecordKind::Bookmark, 26, "Browser Bookmarks", 12, 0, "",
     Always<ImageKey::bookmark>},
    {KnownDb::BrowserUrls, RecordKind::BrowserUrl, 26, "Browser URLs", 13, 0, "",
     Always<ImageKey::world>},
    {KnownDb::BrowserHistory, RecordKind::BrowserUrl, 26, "Browser History", 14, 0, "",
     Always<ImageKey::world>},
    {KnownDb::TimeZones, RecordKind::TimeZone, 26, "Time Zones", 15, 0, "",
     Always<ImageKey::clock>},
}};

// The databases by a place of theirs (mergeAt, countsAt), in its order; `count` of them.
template <std::uint8_t DatabaseKind::*Place, std::uint8_t First>
constexpr auto kByPlace = [] {
    struct {
        std::array<KnownDb, kKnownDbCount> dbs{};
        std::size_t count = 0;
    } out;
    for (std::uint8_t at = First; at < First + kKnownDbCount; ++at) {
        for (const DatabaseKind& row : kDatabases) {
            if (row.*Place == at) out.dbs[out.count++] = row.db;
        }
    }
    return out;
}();

std::string RawUnicodeLabel(Bytes body, const TextOptions&) {
    return RawLabel(body);  // plain ASCII
}

constexpr OtherDatabaseKind kOther{RecordKind::Raw, RawLabel, RawUnicodeLabel, RawImage};

static_assert([] {
    for (std::size_t i = 0; i < kDatabases.size(); ++i) {
        if (static_cast<std::size_t>(kDatabases[i].db) != i) return false;
    }
    std::array<bool, kRecordKindCount> stacked{};
    for (std::size_t i = 0; i < kKinds.size(); ++i) {
        if (static_cast<std::size_t>(kKinds[i].kind) != i) return false;
        const PaneInfo& pane = kKinds[i].pane;
        if (pane.stackAt >= stacked.size() || stacked[pane.stackAt]) return false;
        stacked[pane.stackAt] = true;
        if (pane.layout == PaneLayout::Rows && pane.fieldNames.size() != kKinds[i].fields.size())
            return false;
        bool tallShown = pane.tallField.empty();
        for (std::string_view name : pane.fieldNames)
            tallShown = tallShown || name == pane.tallField;
        if (!tallShown) return false;
    }
    return kByPlace<&DatabaseKind::mergeAt, 0>.count == kKnownDbCount;
}());

// Every kind's field rows by a place of theirs (columnAt, jsonAt), in its order.
template <std::uint8_t FieldRow::*Place>
constexpr auto kByFieldPlace = [] {
    struct {
        std::array<std::array<FieldRow, RecordValues::kMaxSlots>, kRecordKindCount> rows{};
        std::array<std::size_t, kRecordKindCount> count{};
    } out;
    for (std::size_t k = 0; k < kKinds.size(); ++k) {
        const std::span<const FieldRow> fields = kKinds[k].fields;
        for (std::size_t at = 1; at <= fields.size(); ++at) {
            for (const FieldRow& field : fields) {
                if (field.*Place == at) out.rows[k][out.count[k]++] = field;
            }
        }
    }
    return out;
}();

template <std::uint8_t FieldRow::*Place>
std::span<const FieldRow> ByFieldPlace(RecordKind kind) {
    constexpr const auto& ordered = kByFieldPlace<Place>;
    const auto k = static_cast<std::size_t>(kind);
    return {ordered.rows[k].data(), ordered.count[k]};
}

}  // namespace

const KindInfo& InfoOf(RecordKind kind) {
    return kKinds[static_cast<std::size_t>(kind)];
}

const DatabaseKind& KindOf(KnownDb db) {
    return kDatabases[static_cast<std::size_t>(db)];
}

const OtherDatabaseKind& OtherKind() {
    return kOther;
}

std::span<const KnownDb> MergeOrder() {
    constexpr const auto& order = kByPlace<&DatabaseKind::mergeAt, 0>;
    return {order.dbs.data(), order.count};
}

std::span<const KnownDb> CountedDatabases() {
    constexpr const auto& counted = kByPlace<&DatabaseKind::countsAt, 1>;
    return {counted.dbs.data(), counted.count};
}

std::span<const FieldRow> ExportColumns(RecordKind kind) {
    return ByFieldPlace<&FieldRow::columnAt>(kind);
}

std::span<const FieldRow> JsonTexts(RecordKind kind) {
    return ByFieldPlace<&FieldRow::jsonAt>(kind);
}

std::string JoinedTexts(const RecordValues& values, const ExtraRow& extra) {
    std::string joined;
    for (std::size_t i = 0; i < extra.count; ++i) {
        const std::string& part = values.texts[extra.first + i];
        if (part.empty()) continue;
        if (!joined.empty()) joined.push_back('.');
        joined += part;
    }
    return joined;
}

}  // namespace orrelin
