#include "gui/servicebook/edit_sb.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/browser/single_byte.h"
#include "gui/servicebook/servicebook_form.h"
#include "io/file_output.h"
#include "base/bytes.h"

namespace orrelin::gui {
namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

EditSB::EditSB(Platform platform, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform) {
    setObjectName(QStringLiteral("EditSB"));
    setWindowTitle(QStringLiteral("Editing Service Books"));
    auto newField = [this](QWidget* owner, std::size_t i) {
        hrtnet_[i] = new QLineEdit(owner);
        hrtnet_[i]->setObjectName(QStringLiteral("hrtnet(%1)").arg(i));
        return hrtnet_[i];
    };
    auto* outer = new QVBoxLayout(this);
    EServicebook = new QGroupBox(this);
    EServicebook->setObjectName(QStringLiteral("EServicebook"));
    outer->addWidget(EServicebook, 1);
    auto* box = new QVBoxLayout(EServicebook);
    SSTab1 = LayOutServiceBook(EServicebook, box, newField,
                               {QStringLiteral("Web"), QStringLiteral("Gateway")});

    code = new QPlainTextEdit(this);
    code->setObjectName(QStringLiteral("code"));
    code->setReadOnly(true);
    code->setMaximumHeight(80);
    outer->addWidget(code);

    auto* buttons = new QHBoxLayout();
    Save = Button(this, "Save", "Export Only This Entry");
    SaveAll = Button(this, "SaveAll", "Export All Service Books");
    Command1 = Button(this, "Command1", "Exit");
    buttons->addWidget(Save);
    buttons->addWidget(SaveAll);
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    outer->addLayout(buttons);

    connect(Save, &QPushButton::clicked, this, &EditSB::Save_Click);
    connect(SaveAll, &QPushButton::clicked, this, &EditSB::SaveAll_Click);
    connect(Command1, &QPushButton::clicked, this, &EditSB::Command1_Click);
    resize(560, 640);
}

bool EditSB::open(const BackupTree& tree, NodeId node, const std::array<QString, 22>& texts) {
    auto entry = ServiceBookEntry::Of(tree, node);
    if (!entry) return false;
    code->setPlainText(QString::fromLatin1(BytesToHex(entry->code)));
    for (std::size_t i = 0; i < hrtnet_.size(); ++i)
        hrtnet_[i]->setText(texts[i]);
    EServicebook->setTitle(QStringLiteral("Edit the *") + FromSingleByte(tree.text(node)) +
                           QStringLiteral("* service book"));
    entry_ = std::move(entry);
    return true;
}

std::optional<NodeId> EditSB::entryNode() const {
    return entry_ ? std::optional<NodeId>(entry_->node) : std::nullopt;
}

void EditSB::Save_Click() {
    save(ServiceBookSaveKind::EntryOnly);
}

void EditSB::SaveAll_Click() {
    save(ServiceBookSaveKind::AllEntries);
}

void EditSB::Command1_Click() {
    close();
}

void EditSB::showField(std::size_t field) {
    if (field >= hrtnet_.size()) return;
    if (field <= 10) SSTab1->setCurrentIndex(0);
    if (field >= 11 && field <= 16) SSTab1->setCurrentIndex(1);
    hrtnet_[field]->setFocus();
}

void EditSB::save(ServiceBookSaveKind kind) {
    if (!entry_) return;
    ServiceBookFields values;
    for (std::size_t i = 0; i < hrtnet_.size(); ++i) {
        auto text = ToSingleByte(hrtnet_[i]->text());
        if (!text) {
            platform_.messages.show(this, MessageIcon::Warning, kApplicationTitle,
                                    Text(NoSingleByteCode(i).message));
            showField(i);
            return;
        }
        values.values[i] = std::move(*text);
    }
    ServiceBookSaveResult result =
        SaveServiceBook(*entry_, values, kind, std::nullopt, LocalTimeNow());
    if (result.refusal) {
        const bool blank = result.refusal->kind == EditRefusal::Kind::Blank;
        platform_.messages.show(this, blank ? MessageIcon::Critical : MessageIcon::Warning,
                                kApplicationTitle, Text(result.refusal->message));
        showField(result.refusal->field);
        return;
    }
    const QString path = QString::fromStdString(result.path);
    if (result.writeError) {
        platform_.messages.show(this, MessageIcon::Critical, kApplicationTitle,
                                QStringLiteral("Cannot write ") + path + QStringLiteral(": ") +
                                    QString::fromStdString(*result.writeError));
        return;
    }
    platform_.messages.show(this, MessageIcon::Information, kApplicationTitle,
                            QString::fromStdString(SavedMessage(path.toStdString())));
}

}  // namespace orrelin::gui
