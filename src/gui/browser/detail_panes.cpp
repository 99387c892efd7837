#include "gui/browser/detail_panes.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QStringList>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/browser/pane_rows.h"
#include "gui/browser/record_pane.h"
#include "gui/common/single_byte.h"
#include "gui/servicebook/servicebook_form.h"

namespace orrelin::gui {
namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kPhotoSide = 140;
constexpr int kMemoBodyHeight = 240;
// A cell shows this many bytes of a field at most (a photo holds thousands), then "...".
constexpr std::size_t kRawCellBytes = 256;
// Its tooltip shows them in lines of so many bytes.
constexpr std::size_t kTipHexBytes = 16;
constexpr std::size_t kTipTextBytes = 64;

// The bytes as `render` reads them, `perLine` bytes a line, then `more`.
QString TipLines(Bytes shown, std::size_t perLine, std::string (*render)(Bytes),
                 const QString& more) {
    QStringList lines;
    for (std::size_t at = 0; at < shown.size(); at += perLine)
        lines << QString::fromLatin1(
            render(shown.subspan(at, std::min(perLine, shown.size() - at))));
    return lines.join(QLatin1Char('\n')) + more;
}

}  // namespace

DetailPanes::DetailPanes(QWidget* parent) {
    contacts_ = new RecordPane(QStringLiteral("Contacts"), QStringLiteral("contactPane"),
                               pane_rows::kContact, parent);
    contactPhoto_ = new QLabel(contacts_);
    contactPhoto_->setObjectName(QStringLiteral("contactPhoto"));
    contactPhoto_->setFixedSize(kPhotoSide, kPhotoSide);
    contactPhoto_->setAlignment(Qt::AlignCenter);
    contactPhoto_->setFrameShape(QFrame::StyledPanel);
    QWidget* general = contacts_->page(pane_rows::kGeneral);
    static_cast<QBoxLayout*>(general->layout())->addWidget(contactPhoto_, 0, Qt::AlignTop);

    sms_ = new RecordPane(QStringLiteral("SMS Messages"), QStringLiteral("smsPane"),
                          pane_rows::kSms, parent);
    memo_ = new RecordPane(QStringLiteral("Memos"), QStringLiteral("memoPane"), pane_rows::kMemo,
                           parent);
    memo_->field("memoBody")->widget()->setMinimumHeight(kMemoBodyHeight);
    task_ = new RecordPane(QStringLiteral("Tasks"), QStringLiteral("taskPane"), pane_rows::kTask,
                           parent);

    serviceBook_ = new QGroupBox(QStringLiteral("Service Book"), parent);
    serviceBook_->setObjectName(QStringLiteral("serviceBookPane"));
    serviceBook_->hide();
    auto* outer = new QVBoxLayout(serviceBook_);
    LayOutServiceBook(serviceBook_, outer,
                      [this](QWidget* owner, std::size_t i) {
                          serviceBookFields_[i] =
                              ValueField(owner, Text(kServiceBookFieldNames[i]), FieldShape::Line);
                          return serviceBookFields_[i].widget();
                      },
                      {QStringLiteral("Web and Others"), Text(kServiceBookLabels[14])});

    calendar_ = new RecordPane(QStringLiteral("Calendar"), QStringLiteral("calendarPane"),
                               pane_rows::kCalendar, parent);
    calls_ = new RecordPane(QStringLiteral("Phone Calls Log"), QStringLiteral("callLogPane"),
                            pane_rows::kCall, parent);

    mail_ = new RecordPane(QStringLiteral("Messages"), QStringLiteral("mailPane"), pane_rows::kMail,
                           parent);
    mail_->field("mailBody")->widget()->setMinimumHeight(kMemoBodyHeight);
    bookmark_ = new RecordPane(QStringLiteral("Browser Bookmarks"), QStringLiteral("bookmarkPane"),
                               pane_rows::kBookmark, parent);
    browserUrl_ = new RecordPane(QStringLiteral("Browser URLs"), QStringLiteral("browserUrlPane"),
                                 pane_rows::kBrowserUrl, parent);
    timeZone_ = new RecordPane(QStringLiteral("Time Zones"), QStringLiteral("timeZonePane"),
                               pane_rows::kTimeZone, parent);

    raw_ = new QGroupBox(QStringLiteral("Raw Fields"), parent);
    raw_->setObjectName(QStringLiteral("rawPane"));
    raw_->hide();
    rawTable_ = new QTableWidget(0, 4, raw_);
    rawTable_->setObjectName(QStringLiteral("rawFields"));
    rawTable_->setHorizontalHeaderLabels({QStringLiteral("Type"), QStringLiteral("Length"),
                                          QStringLiteral("Hex"), QStringLiteral("Text")});
    rawTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rawTable_->verticalHeader()->hide();
    // Type and length as wide as their numbers; the hex and its text reading share the rest.
    QHeaderView* header = rawTable_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    header->setSectionResizeMode(3, QHeaderView::Stretch);
    // Wrapped hex takes more lines in a narrower column.
    QObject::connect(header, &QHeaderView::sectionResized, rawTable_,
                     [table = rawTable_](int column) {
                         if (column == 2) table->resizeRowsToContents();
                     });
    rawTable_->setMinimumHeight(kMemoBodyHeight);
    rawTable_->setWordWrap(true);
    auto* rawLayout = new QVBoxLayout(raw_);
    rawLayout->addWidget(rawTable_);
}

std::array<QGroupBox*, 12> DetailPanes::frames() const {
    return {contacts_, sms_,  memo_,     task_,       serviceBook_, calendar_,
            calls_,    mail_, bookmark_, browserUrl_, timeZone_,    raw_};
}

QTabWidget* DetailPanes::contactTabs() const {
    return contacts_->tabs();
}

void DetailPanes::showSms(const SmsRecord& record) {
    sms_->setValues(record.values);
    sms_->show();
}

void DetailPanes::showContact(const ContactRecord& record) {
    contactPhoto_->clear();
    // Photo bytes that do not make a picture leave the box empty; the texts still show.
    QImage photo;
    if (!record.photo.empty() &&
        photo.loadFromData(record.photo.data(), static_cast<int>(record.photo.size()), "JPEG")) {
        contactPhoto_->setPixmap(QPixmap::fromImage(photo.scaled(
            contactPhoto_->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    contacts_->setValues(record.values);
    contacts_->show();
}

void DetailPanes::showMemo(const MemoRecord& record) {
    memo_->setValues(record.values);
    memo_->show();
}

void DetailPanes::showTask(const TaskRecord& record) {
    task_->setValues(record.values);
    task_->show();
}

void DetailPanes::showCalendar(const CalendarRecord& record) {
    calendar_->setValues(record.values);
    calendar_->show();
}

void DetailPanes::showCall(const CallRecord& record) {
    calls_->setValues(record.values);
    calls_->show();
}

void DetailPanes::showValues(RecordKind kind, const RecordValues& values) {
    RecordPane* pane = nullptr;
    switch (kind) {
        case RecordKind::Mail:
            pane = mail_;
            break;
        case RecordKind::Bookmark:
            pane = bookmark_;
            break;
        case RecordKind::BrowserUrl:
            pane = browserUrl_;
            break;
        case RecordKind::TimeZone:
            pane = timeZone_;
            break;
        default:
            return;
    }
    pane->setValues(values.view());
    pane->show();
}

void DetailPanes::setUnicode(bool unicode) {
    for (RecordPane* pane : {contacts_, sms_, memo_, task_, calendar_, calls_, mail_, bookmark_,
                             browserUrl_, timeZone_})
        pane->setUnicode(unicode);
}

void DetailPanes::showServiceBook(const ServiceBookFields& fields) {
    for (std::size_t i = 0; i < fields.values.size(); ++i)
        serviceBookFields_[i].setText(FromSingleByte(fields.values[i]));
    serviceBook_->show();
}

void DetailPanes::showRaw(const std::vector<RawField>& fields) {
    rawTable_->setRowCount(static_cast<int>(fields.size()));
    for (int row = 0; row < rawTable_->rowCount(); ++row) {
        const RawField& field = fields[static_cast<std::size_t>(row)];
        const Bytes shown = field.data.first(std::min(field.data.size(), kRawCellBytes));
        const QString more = shown.size() < field.data.size() ? QStringLiteral(" ...") : QString();
        const QString cells[] = {QString::number(field.type), QString::number(field.length),
                                 QString::fromLatin1(RawHex(shown)) + more,
                                 QString::fromLatin1(RawText(shown)) + more};
        const QString tips[] = {QString(), QString(), TipLines(shown, kTipHexBytes, RawHex, more),
                                TipLines(shown, kTipTextBytes, RawText, more)};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column < 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setToolTip(tips[column]);
            rawTable_->setItem(row, column, item);
        }
    }
    rawTable_->resizeRowsToContents();
    raw_->show();
}

std::array<QString, ServiceBookFields::kCount> DetailPanes::serviceBookTexts() const {
    std::array<QString, ServiceBookFields::kCount> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = serviceBookFields_[i].text();
    return texts;
}

}  // namespace orrelin::gui
