#pragma once

#include <QString>
#include <array>
#include <vector>

#include "decoders/calendar_decoder.h"
#include "decoders/call_decoder.h"
#include "decoders/contact_decoder.h"
#include "decoders/memo_decoder.h"
#include "decoders/servicebook_decoder.h"
#include "decoders/sms_decoder.h"
#include "decoders/task_decoder.h"
#include "gui/common/value_field.h"
#include "kinds/raw_fields.h"
#include "kinds/record_kinds.h"

class QGroupBox;
class QLabel;
class QTabWidget;
class QTableWidget;
class QWidget;

namespace orrelin::gui {

class RecordPane;

// The panes that show the selected record, one per kind of record and the raw pane of the
// databases the program does not decode, each hidden until a record of its kind is shown.
class DetailPanes {
  public:
    explicit DetailPanes(QWidget* parent);

    // In the order they stack.
    std::array<QGroupBox*, 12> frames() const;

    void showSms(const SmsRecord& record);
    // The contact's texts and its photo, read from the record's JPEG bytes.
    void showContact(const ContactRecord& record);
    void showMemo(const MemoRecord& record);
    void showTask(const TaskRecord& record);
    void showCalendar(const CalendarRecord& record);
    void showCall(const CallRecord& record);
    void showServiceBook(const ServiceBookFields& fields);
    // A record of the kinds shown from their table values alone: email and PIN messages,
    // bookmarks, browser URLs, time zones.
    void showValues(RecordKind kind, const RecordValues& values);
    // Whether the record panes take their values as UTF-8 (full Unicode) from now on instead of
    // single-byte text; the service book pane always shows single-byte text, which its editor
    // edits.
    void setUnicode(bool unicode);
    // A table of the record's fields: type, length, bytes in hex, text reading.
    void showRaw(const std::vector<RawField>& fields);

    // The texts the service book pane shows now, by value index.
    std::array<QString, ServiceBookFields::kCount> serviceBookTexts() const;
    QLabel* contactPhoto() const { return contactPhoto_; }
    QTabWidget* contactTabs() const;
    QTableWidget* rawTable() const { return rawTable_; }

  private:
    RecordPane* contacts_ = nullptr;
    RecordPane* sms_ = nullptr;
    RecordPane* memo_ = nullptr;
    RecordPane* task_ = nullptr;
    QGroupBox* serviceBook_ = nullptr;
    RecordPane* calendar_ = nullptr;
    RecordPane* calls_ = nullptr;
    RecordPane* mail_ = nullptr;
    RecordPane* bookmark_ = nullptr;
    RecordPane* browserUrl_ = nullptr;
    RecordPane* timeZone_ = nullptr;
    QLabel* contactPhoto_ = nullptr;
    QGroupBox* raw_ = nullptr;
    QTableWidget* rawTable_ = nullptr;
    std::array<ValueField, ServiceBookFields::kCount> serviceBookFields_;
};

}  // namespace orrelin::gui
