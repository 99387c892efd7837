#include "export/record_format.h"

// Kept apart from the renderings so that they can be used without the decoders.

namespace orrelin {

void FormatRecord(const IpdImage& image, RecordSpan span, const ExportDatabaseInfo& database,
                  const DecodeContext& context, ExportFormat format, std::string& out) {
    switch (database.kind) {
        case RecordKind::Sms:
            FormatSms(DecodeSms(image, span, context), format, out);
            return;
        case RecordKind::Address:
            FormatAddress(DecodeContact(image, span, database.allForm, context), format, out);
            return;
        case RecordKind::Task:
            FormatTask(DecodeTask(image, span, context), format, out);
            return;
        case RecordKind::Memo:
            FormatMemo(DecodeMemo(image, span, context), format, out);
            return;
        case RecordKind::Calendar:
            FormatCalendar(DecodeCalendar(image, span, database.allForm, context), format, out);
            return;
        case RecordKind::PhoneCall:
            FormatPhoneCall(DecodeCall(image, span, context), format, out);
            return;
    }
}

}  // namespace orrelin
