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

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class QWidget;

namespace orrelin::gui {

// One read-only value field: a line, or a box that wraps and keeps line breaks.
class ValueField {
  public:
    ValueField() = default;
    static ValueField Line(QWidget* parent, const QString& name);
    static ValueField MultiLine(QWidget* parent, const QString& name);

    void setText(const QString& text);
    QString text() const;
    QWidget* widget() const;

  private:
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* box_ = nullptr;
};

// The seven panes that show the selected record, each a frame with its caption and a column
// of labelled value fields. Values arrive as single-byte text and are shown through code page
// 1256. A pane keeps the values it showed last until it is filled again.
class DetailPanes {
  public:
    explicit DetailPanes(QWidget* parent);

    // In the order ResetPanes hides them.
    std::array<QGroupBox*, 7> frames() const {
        return {Contacts, SMSmessages, Memo, Task, Servicebook, Calendar, pcallslog};
    }

    void showSms(const SmsRecord& record);
    // `picturePath` names the photo file written for this contact, or is empty. The file is
    // loaded into the picture box and then deleted.
    void showContact(const ContactRecord& record, const QString& picturePath);
    void showMemo(const MemoRecord& record);
    void showTask(const TaskRecord& record);
    void showCalendar(const CalendarRecord& record);
    void showCall(const CallRecord& record);
    void showServiceBook(const ServiceBookFields& fields);

    std::array<QString, ServiceBookFields::kCount> serviceBookTexts() const;
    // ct(n), for the tests and the windows that read the pane.
    const ValueField& ct(std::size_t n) const { return ct_[n]; }
    const ValueField& hrtnet(std::size_t n) const { return hrtnet_[n]; }
    const ValueField& smsField(std::size_t n) const { return sms_[n]; }
    QLabel* picture() const { return Picture1; }
    QTabWidget* contactTabs() const { return ctab; }

    QGroupBox* Contacts = nullptr;
    QGroupBox* SMSmessages = nullptr;
    QGroupBox* Memo = nullptr;
    QGroupBox* Task = nullptr;
    QGroupBox* Servicebook = nullptr;
    QGroupBox* Calendar = nullptr;
    QGroupBox* pcallslog = nullptr;

  private:
    void buildSms(QWidget* parent);
    void buildContacts(QWidget* parent);
    void buildMemo(QWidget* parent);
    void buildTask(QWidget* parent);
    void buildCalendar(QWidget* parent);
    void buildCalls(QWidget* parent);
    void buildServiceBook(QWidget* parent);

    std::array<ValueField, 6> sms_;
    std::array<ValueField, 52> ct_;
    std::array<ValueField, ServiceBookFields::kCount> hrtnet_;
    QTabWidget* ctab = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QLabel* Picture1 = nullptr;
};

}  // namespace orrelin::gui
