#pragma once

#include <QString>
#include <array>

#include "decoders/calendar_decoder.h"
#include "decoders/call_decoder.h"
#include "decoders/contact_decoder.h"
#include "decoders/memo_decoder.h"
#include "decoders/servicebook_decoder.h"
#include "decoders/sms_decoder.h"
#include "decoders/task_decoder.h"
#include "gui/browser/value_field.h"

class QGroupBox;
class QLabel;
class QTabWidget;
class QWidget;

namespace orrelin::gui {

class RecordPane;

// The seven panes that show the selected record, one per kind of record, each hidden until a
// record of its kind is shown.
class DetailPanes {
  public:
    explicit DetailPanes(QWidget* parent);

    // In the order they stack.
    std::array<QGroupBox*, 7> frames() const;

    void showSms(const SmsRecord& record);
    // The contact's texts and its photo, read from the record's JPEG bytes.
    void showContact(const ContactRecord& record);
    void showMemo(const MemoRecord& record);
    void showTask(const TaskRecord& record);
    void showCalendar(const CalendarRecord& record);
    void showCall(const CallRecord& record);
    void showServiceBook(const ServiceBookFields& fields);
    // Whether the record panes take their values as UTF-8 (full Unicode) from now on instead of
    // single-byte text; the service book pane always shows single-byte text, which its editor
    // edits.
    void setUnicode(bool unicode);

    // The texts the service book pane shows now, by value index.
    std::array<QString, ServiceBookFields::kCount> serviceBookTexts() const;
    QLabel* contactPhoto() const { return contactPhoto_; }
    QTabWidget* contactTabs() const;

  private:
    RecordPane* contacts_ = nullptr;
    RecordPane* sms_ = nullptr;
    RecordPane* memo_ = nullptr;
    RecordPane* task_ = nullptr;
    QGroupBox* serviceBook_ = nullptr;
    RecordPane* calendar_ = nullptr;
    RecordPane* calls_ = nullptr;
    QLabel* contactPhoto_ = nullptr;
    std::array<ValueField, ServiceBookFields::kCount> serviceBookFields_;
};

}  // namespace orrelin::gui
