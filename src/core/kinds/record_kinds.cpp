#include "kinds/record_kinds.h"

#include <tuple>
#include <type_traits>
#include <utility>

#include "decoders/calendar_decoder.h"
#include "decoders/call_decoder.h"
#include "decoders/contact_decoder.h"
#include "decoders/memo_decoder.h"
#include "decoders/servicebook_decoder.h"
#include "decoders/sms_decoder.h"
#include "decoders/task_decoder.h"
#include "decoders/text_field.h"
#include "kinds/label_rules.h"
#include "kinds/labels.h"
#include "kinds/raw_fields.h"

namespace orrelin {
namespace {

template <std::size_t N>
void TakeTexts(std::array<std::string, N>& texts, std::size_t count, RecordValues& out) {
    static_assert(N <= RecordValues::kMaxSlots);
    for (std::size_t i = 0; i < count; ++i)
        out.texts[i] = std::move(texts[i]);
    out.count = count;
    out.firstInstant.reset();
    out.secondInstant.reset();
    out.photo = {};
    out.number = 0;
}

void Sms(const IpdImage& image, RecordSpan span, const DecodeContext& context, RecordValues& out) {
    SmsRecord r = DecodeSms(image, span, context);
    TakeTexts(r.values, r.values.size(), out);
    out.firstInstant = r.sentUtc;
    out.secondInstant = r.receivedUtc;
}

template <bool AllForm>
void Contact(const IpdImage& image, RecordSpan span, const DecodeContext& context,
             RecordValues& out) {
    ContactRecord r = DecodeContact(image, span, AllForm, context);
    TakeTexts(r.values, kContactFields.size(), out);
    out.photo = r.photo;
}

template <bool AllForm>
void Calendar(const IpdImage& image, RecordSpan span, const DecodeContext& context,
              RecordValues& out) {
    CalendarRecord r = DecodeCalendar(image, span, AllForm, context);
    TakeTexts(r.values, r.values.size(), out);
    out.firstInstant = r.startUtc;
    out.secondInstant = r.endUtc;
}

void Task(const IpdImage& image, RecordSpan span, const DecodeContext& context,
          RecordValues& out) {
    TaskRecord r = DecodeTask(image, span, context);
    TakeTexts(r.values, r.values.size(), out);
}

void Memo(const IpdImage& image, RecordSpan span, const DecodeContext& context,
          RecordValues& out) {
    MemoRecord r = DecodeMemo(image, span, context);
    TakeTexts(r.values, r.values.size(), out);
}

void Call(const IpdImage& image, RecordSpan span, const DecodeContext& context,
          RecordValues& out) {
    CallRecord r = DecodeCall(image, span, context);
    TakeTexts(r.values, r.values.size(), out);
    out.firstInstant = r.timeUtc;
    out.number = r.durationSeconds;
}

void ServiceBook(const IpdImage& image, RecordSpan span, const DecodeContext& context,
                 RecordValues& out) {
    ServiceBookFields r = DecodeServiceBook(image, span, context.text);
    TakeTexts(r.values, r.values.size(), out);
}

using label_rules::SingleByteForm;
using label_rules::UnicodeForm;

template <KnownDb Db>
std::string Label(Bytes body) {
    return label_rules::Label(Db, body, SingleByteForm{});
}
template <KnownDb Db>
std::string Unicode(Bytes body, const TextOptions& text) {
    return label_rules::Label(Db, body, UnicodeForm{text});
}
template <ImageKey Key>
ImageKey Always(Bytes) {
    return Key;
}
ImageKey SmsImage(Bytes body) {
    return SmsIsSent(body) ? ImageKey::sent : ImageKey::receivedsms;
}

constexpr std::array<KindInfo, kRecordKindCount> kKinds{{
    {RecordKind::Sms, kSmsFields, kSmsExtras,
     {"Export Selected SMS Message", "Export All SMS Messages", "SMS Message", "SMS Message"}},
    {RecordKind::Address, kContactFields, kContactExtras,
     {"Export Selected Address", "Export All Addresses", "Address Book", "Address Book", true}},
    {RecordKind::Task, kTaskFields, {},
     {"Export Selected Task", "Export All Tasks", "Task", "Tasks"}},
    {RecordKind::Memo, kMemoFields, {},
     {"Export Selected Memo", "Export All Memos", "Memo", "Memos"}},
    {RecordKind::Calendar, kCalendarFields, kCalendarExtras,
     {"Export Selected Calendar", "Export All Calendar", "Calendar", "Calendar"}},
    {RecordKind::PhoneCall, kCallFields, kCallExtras,
     {"Export Selected Phone Call", "Export All Phone Calls", "Phone Calls", "Phone Calls"}},
    {RecordKind::ServiceBook, kServiceBookFields, kServiceBookExtras, {}},
}};

// In the order of KnownDb.
constexpr std::array<DatabaseKind, kKnownDbCount> kDatabases{{
    {KnownDb::Sms, RecordKind::Sms, 27, "SMS Messages", Label<KnownDb::Sms>,
     Unicode<KnownDb::Sms>, SmsImage, Sms},
    {KnownDb::AddressBookAll, RecordKind::Address, 27, "Address Book",
     Label<KnownDb::AddressBookAll>, Unicode<KnownDb::AddressBookAll>,
     Always<ImageKey::addressbook>, Contact<true>},
    {KnownDb::AddressBook, RecordKind::Address, 27, "Address Book", Label<KnownDb::AddressBook>,
     Unicode<KnownDb::AddressBook>, Always<ImageKey::mobile>, Contact<false>},
    {KnownDb::Memos, RecordKind::Memo, 26, "Memos", Label<KnownDb::Memos>,
     Unicode<KnownDb::Memos>, Always<ImageKey::memos>, Memo},
    {KnownDb::Tasks, RecordKind::Task, 26, "Tasks", Label<KnownDb::Tasks>,
     Unicode<KnownDb::Tasks>, Always<ImageKey::tasks>, Task},
    {KnownDb::Calendar, RecordKind::Calendar, 26, "Calendar", Label<KnownDb::Calendar>,
     Unicode<KnownDb::Calendar>, Always<ImageKey::calendars>, Calendar<false>},
    {KnownDb::CalendarAll, RecordKind::Calendar, 26, "Calendar", Label<KnownDb::CalendarAll>,
     Unicode<KnownDb::CalendarAll>, Always<ImageKey::calendars>, Calendar<true>},
    {KnownDb::ServiceBook, RecordKind::ServiceBook, 0, "", Label<KnownDb::ServiceBook>,
     Unicode<KnownDb::ServiceBook>, Always<ImageKey::servicebook>, ServiceBook},
    {KnownDb::PhoneCallLogs, RecordKind::PhoneCall, 26, "Phone Call Logs",
     Label<KnownDb::PhoneCallLogs>, Unicode<KnownDb::PhoneCallLogs>, CallIcon, Call},
}};

std::string RawUnicodeLabel(Bytes body, const TextOptions&) {
    return RawLabel(body);  // plain ASCII
}

constexpr OtherDatabaseKind kOther{RawLabel, RawUnicodeLabel, RawImage};

static_assert([] {
    for (std::size_t i = 0; i < kDatabases.size(); ++i) {
        if (static_cast<std::size_t>(kDatabases[i].db) != i) return false;
    }
    for (std::size_t i = 0; i < kKinds.size(); ++i) {
        if (static_cast<std::size_t>(kKinds[i].kind) != i) return false;
    }
    return true;
}());

struct Orders {
    std::array<std::span<const FieldRow>, kRecordKindCount> columns;
    std::array<std::span<const FieldRow>, kRecordKindCount> json;
};

template <std::size_t N>
struct OrderedPair {
    OrderedFields<N> columns;
    OrderedFields<N> json;
};

template <const auto& Fields>
constexpr auto kOrdered = OrderedPair<std::tuple_size_v<std::remove_cvref_t<decltype(Fields)>>>{
    Ordered(Fields, &FieldRow::columnAt), Ordered(Fields, &FieldRow::jsonAt)};

constexpr Orders kOrders{
    {kOrdered<kSmsFields>.columns.view(), kOrdered<kContactFields>.columns.view(),
     kOrdered<kTaskFields>.columns.view(), kOrdered<kMemoFields>.columns.view(),
     kOrdered<kCalendarFields>.columns.view(), kOrdered<kCallFields>.columns.view(),
     kOrdered<kServiceBookFields>.columns.view()},
    {kOrdered<kSmsFields>.json.view(), kOrdered<kContactFields>.json.view(),
     kOrdered<kTaskFields>.json.view(), kOrdered<kMemoFields>.json.view(),
     kOrdered<kCalendarFields>.json.view(), kOrdered<kCallFields>.json.view(),
     kOrdered<kServiceBookFields>.json.view()},
};

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

std::span<const FieldRow> ExportColumns(RecordKind kind) {
    return kOrders.columns[static_cast<std::size_t>(kind)];
}

std::span<const FieldRow> JsonTexts(RecordKind kind) {
    return kOrders.json[static_cast<std::size_t>(kind)];
}

}  // namespace orrelin
