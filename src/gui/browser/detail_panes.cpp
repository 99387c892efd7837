#include "gui/browser/detail_panes.h"

#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/browser/single_byte.h"
#include "gui/browser/value_font.h"
#include "gui/servicebook/servicebook_form.h"

namespace orrelin::gui {
namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Indexed(const char* array, std::size_t i) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(i);
}

QGroupBox* Frame(QWidget* parent, const char* name, const char* caption) {
    auto* frame = new QGroupBox(QString::fromLatin1(caption), parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->hide();
    return frame;
}

}  // namespace

ValueField ValueField::Line(QWidget* parent, const QString& name) {
    ValueField field;
    field.line_ = new QLineEdit(parent);
    field.line_->setObjectName(name);
    field.line_->setReadOnly(true);
    field.line_->setFont(ValueFont());
    field.line_->setCursorMoveStyle(Qt::VisualMoveStyle);
    return field;
}

ValueField ValueField::MultiLine(QWidget* parent, const QString& name) {
    ValueField field;
    field.box_ = new QPlainTextEdit(parent);
    field.box_->setObjectName(name);
    field.box_->setReadOnly(true);
    field.box_->setFont(ValueFont());
    field.box_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    field.box_->setMinimumHeight(90);
    return field;
}

void ValueField::setText(const QString& text) {
    if (line_) {
        line_->setText(text);
        line_->setCursorPosition(0);
    }
    if (box_) box_->setPlainText(text);
}

QString ValueField::text() const {
    if (line_) return line_->text();
    if (box_) return box_->toPlainText();
    return {};
}

QWidget* ValueField::widget() const {
    if (line_) return line_;
    return box_;
}

DetailPanes::DetailPanes(QWidget* parent) {
    buildContacts(parent);
    buildSms(parent);
    buildMemo(parent);
    buildTask(parent);
    buildServiceBook(parent);
    buildCalendar(parent);
    buildCalls(parent);
}

void DetailPanes::buildSms(QWidget* parent) {
    SMSmessages = Frame(parent, "SMSmessages", "SMS Messages");
    auto* form = ValueForm(SMSmessages);
    static constexpr const char* kNames[] = {"dir_text",  "folder_name", "sent_date",
                                             "recv_date", "tel_number",  "msg_text"};
    for (std::size_t i = 0; i < sms_.size(); ++i) {
        const QString name = QString::fromLatin1(kNames[i]);
        sms_[i] = i == SmsRecord::Text ? ValueField::MultiLine(SMSmessages, name)
                                       : ValueField::Line(SMSmessages, name);
        form->addRow(Text(kSmsLabels[i]), sms_[i].widget());
    }
}

void DetailPanes::buildContacts(QWidget* parent) {
    Contacts = Frame(parent, "Contacts", "Contacts");
    auto* outer = new QVBoxLayout(Contacts);
    ctab = new QTabWidget(Contacts);
    ctab->setObjectName(QStringLiteral("ctab"));
    outer->addWidget(ctab);

    auto page = [&](const char* title) {
        auto* widget = new QWidget(ctab);
        ctab->addTab(widget, QString::fromLatin1(title));
        return widget;
    };
    auto rows = [&](QWidget* owner, QFormLayout* form, std::initializer_list<std::size_t> numbers) {
        for (std::size_t n : numbers) {
            ct_[n] = ValueField::Line(owner, Indexed("ct", n));
            form->addRow(Text(kContactLabels[n]), ct_[n].widget());
        }
    };

    auto* general = page("General");
    auto* generalLayout = new QHBoxLayout(general);
    auto* generalFields = new QWidget(general);
    rows(generalFields, ValueForm(generalFields), {0, 1, 2, 3, 4, 5});
    generalLayout->addWidget(generalFields, 1);
    Picture1 = new QLabel(general);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFixedSize(140, 140);
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setFrameShape(QFrame::StyledPanel);
    generalLayout->addWidget(Picture1, 0, Qt::AlignTop);

    auto* phones = page("Phone Numbers");
    rows(phones, ValueForm(phones), {6, 7, 8, 9, 10, 11, 12, 14, 13});

    auto* addresses = page("Addresses");
    rows(addresses, ValueForm(addresses), {15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26});

    // ct(32) and ct(33) show Facebook and Yahoo (slots 31 and 32); ct(31) holds the notes.
    auto* other = page("Other");
    auto* otherForm = ValueForm(other);
    rows(other, otherForm, {27, 28, 29, 30});
    for (std::size_t n : {std::size_t{32}, std::size_t{33}}) {
        ct_[n] = ValueField::Line(other, Indexed("ct", n));
        otherForm->addRow(Text(kContactLabels[n - 1]), ct_[n].widget());
    }

    auto* notes = page("Notes");
    auto* notesLayout = new QVBoxLayout(notes);
    ct_[31] = ValueField::MultiLine(notes, Indexed("ct", 31));
    notesLayout->addWidget(ct_[31].widget());
}

void DetailPanes::buildMemo(QWidget* parent) {
    Memo = Frame(parent, "Memo", "Memos");
    auto* form = ValueForm(Memo);
    ct_[44] = ValueField::Line(Memo, Indexed("ct", 44));
    form->addRow(Text(kMemoLabels[0]), ct_[44].widget());
    ct_[45] = ValueField::MultiLine(Memo, Indexed("ct", 45));
    ct_[45].widget()->setMinimumHeight(240);
    form->addRow(ct_[45].widget());
}

void DetailPanes::buildTask(QWidget* parent) {
    Task = Frame(parent, "Task", "Tasks");
    auto* form = ValueForm(Task);
    for (std::size_t i = 0; i < kTaskLabels.size(); ++i) {
        std::size_t n = 43 - i;
        ct_[n] = i == TaskRecord::Notes ? ValueField::MultiLine(Task, Indexed("ct", n))
                                        : ValueField::Line(Task, Indexed("ct", n));
        form->addRow(Text(kTaskLabels[i]), ct_[n].widget());
    }
}

void DetailPanes::buildCalendar(QWidget* parent) {
    Calendar = Frame(parent, "Calendar", "Calendar");
    auto* form = ValueForm(Calendar);
    for (std::size_t i = 0; i < kCalendarLabels.size(); ++i) {
        std::size_t n = 39 - i;
        ct_[n] = i == CalendarRecord::Notes ? ValueField::MultiLine(Calendar, Indexed("ct", n))
                                            : ValueField::Line(Calendar, Indexed("ct", n));
        form->addRow(Text(kCalendarLabels[i]), ct_[n].widget());
    }
}

void DetailPanes::buildCalls(QWidget* parent) {
    pcallslog = Frame(parent, "pcallslog", "Phone Calls Log");
    auto* form = ValueForm(pcallslog);
    for (std::size_t i = 0; i < kCallLabels.size(); ++i) {
        std::size_t n = 46 + i;
        ct_[n] = ValueField::Line(pcallslog, Indexed("ct", n));
        form->addRow(Text(kCallLabels[i]), ct_[n].widget());
    }
}

void DetailPanes::buildServiceBook(QWidget* parent) {
    Servicebook = Frame(parent, "Servicebook", "Service Book");
    auto* outer = new QVBoxLayout(Servicebook);
    SSTab1 = LayOutServiceBook(Servicebook, outer,
                               [this](QWidget* owner, std::size_t i) {
                                   hrtnet_[i] = ValueField::Line(owner, Indexed("hrtnet", i));
                                   return hrtnet_[i].widget();
                               },
                               {QStringLiteral("Web and Others"), Text(kServiceBookLabels[14])});
}

void DetailPanes::showSms(const SmsRecord& record) {
    for (std::size_t i = 0; i < sms_.size(); ++i)
        sms_[i].setText(FromSingleByte(record.values[i]));
    SMSmessages->show();
}

void DetailPanes::showContact(const ContactRecord& record, const QString& picturePath) {
    Picture1->clear();
    if (!picturePath.isEmpty() && QFile::exists(picturePath)) {
        // A photo that does not load leaves the box empty; the contact's texts still show.
        QPixmap photo(picturePath);
        if (!photo.isNull()) {
            Picture1->setPixmap(photo.scaled(Picture1->size() - QSize(4, 4), Qt::KeepAspectRatio,
                                             Qt::SmoothTransformation));
        }
        QFile::remove(picturePath);
    }
    for (std::size_t n = 0; n <= 30; ++n)
        ct_[n].setText(FromSingleByte(record.values[n]));
    ct_[31].setText(FromSingleByte(record[ContactRecord::Notes]));
    ct_[32].setText(FromSingleByte(record[ContactRecord::Facebook]));
    ct_[33].setText(FromSingleByte(record[ContactRecord::Yahoo]));
    Contacts->show();
}

void DetailPanes::showMemo(const MemoRecord& record) {
    ct_[44].setText(FromSingleByte(record[MemoRecord::Title]));
    ct_[45].setText(FromSingleByte(record[MemoRecord::Body]));
    Memo->show();
}

void DetailPanes::showTask(const TaskRecord& record) {
    for (std::size_t i = 0; i < record.values.size(); ++i) {
        ct_[43 - i].setText(FromSingleByte(record.values[i]));
    }
    Task->show();
}

void DetailPanes::showCalendar(const CalendarRecord& record) {
    for (std::size_t i = 0; i < record.values.size(); ++i) {
        ct_[39 - i].setText(FromSingleByte(record.values[i]));
    }
    Calendar->show();
}

void DetailPanes::showCall(const CallRecord& record) {
    for (std::size_t i = 0; i < record.values.size(); ++i) {
        ct_[46 + i].setText(FromSingleByte(record.values[i]));
    }
    pcallslog->show();
}

void DetailPanes::showServiceBook(const ServiceBookFields& fields) {
    for (std::size_t i = 0; i < fields.values.size(); ++i) {
        hrtnet_[i].setText(FromSingleByte(fields.values[i]));
    }
    Servicebook->show();
}

std::array<QString, ServiceBookFields::kCount> DetailPanes::serviceBookTexts() const {
    std::array<QString, ServiceBookFields::kCount> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = hrtnet_[i].text();
    return texts;
}

}  // namespace orrelin::gui
