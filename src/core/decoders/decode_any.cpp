#include "decoders/decode_any.h"

#include "decoders/calendar_decoder.h"
#include "decoders/call_decoder.h"
#include "decoders/contact_decoder.h"
#include "decoders/memo_decoder.h"
#include "decoders/servicebook_decoder.h"
#include "decoders/sms_decoder.h"
#include "decoders/task_decoder.h"

namespace orrelin {
namespace {

template <std::size_t N, std::size_t L>
std::vector<ValueRow> Rows(const std::array<std::string, N>& values,
                           const std::array<std::string_view, L>& labels, std::size_t count) {
    std::vector<ValueRow> rows;
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        rows.push_back({i, labels[i], values[i]});
    return rows;
}

template <typename Record, std::size_t L>
std::vector<ValueRow> AllRows(const Record& record, const std::array<std::string_view, L>& labels) {
    return Rows(record.values, labels, L);
}

}  // namespace

std::vector<ValueRow> DecodeValues(const IpdImage& image, KnownDb db, RecordSpan span,
                                   const DecodeContext& context) {
    switch (db) {
        case KnownDb::Sms:
            return AllRows(DecodeSms(image, span, context), kSmsLabels);
        case KnownDb::AddressBook:
        case KnownDb::AddressBookAll: {
            // The 34 texts; the picture path is not a text of its own.
            ContactRecord c = DecodeContact(image, span, db == KnownDb::AddressBookAll, context);
            return Rows(c.values, kContactLabels, ContactRecord::PicturePath);
        }
        case KnownDb::Memos:
            return AllRows(DecodeMemo(image, span, context), kMemoLabels);
        case KnownDb::Tasks:
            return AllRows(DecodeTask(image, span, context), kTaskLabels);
        case KnownDb::Calendar:
        case KnownDb::CalendarAll:
            return AllRows(DecodeCalendar(image, span, db == KnownDb::CalendarAll, context),
                           kCalendarLabels);
        case KnownDb::ServiceBook:
            return AllRows(DecodeServiceBook(image, span, context.text), kServiceBookLabels);
        case KnownDb::PhoneCallLogs:
            return AllRows(DecodeCall(image, span, context), kCallLabels);
    }
    return {};
}

}  // namespace orrelin
