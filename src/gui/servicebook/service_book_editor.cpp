#include "gui/servicebook/service_book_editor.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "base/bytes.h"
#include "gui/common/single_byte.h"
#include "gui/servicebook/servicebook_form.h"
#include "io/file_output.h"

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

ServiceBookEditor::ServiceBookEditor(Platform platform, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform) {
    setObjectName(QStringLiteral("serviceBookEditor"));
    setWindowTitle(QStringLiteral("Editing Service Books"));
    auto newField = [this](QWidget* owner, std::size_t i) {
        fields_[i] = new QLineEdit(owner);
        fields_[i]->setObjectName(Text(kServiceBookFieldNames[i]));
        return fields_[i];
    };
    auto* outer = new QVBoxLayout(this);
    entryFrame = new QGroupBox(this);
    entryFrame->setObjectName(QStringLiteral("entryFrame"));
    outer->addWidget(entryFrame, 1);
    auto* box = new QVBoxLayout(entryFrame);
    tabs = LayOutServiceBook(entryFrame, box, newField,
                             {QStringLiteral("Web"), QStringLiteral("Gateway")});

    recordHex = new QPlainTextEdit(this);
    recordHex->setObjectName(QStringLiteral("recordHex"));
    recordHex->setReadOnly(true);
    recordHex->setMaximumHeight(80);
    outer->addWidget(recordHex);

    auto* buttons = new QHBoxLayout();
    saveEntryButton = Button(this, "saveEntryButton", "Export Only This Entry");
    saveAllButton = Button(this, "saveAllButton", "Export All Service Books");
    exitButton = Button(this, "exitButton", "Exit");
    buttons->addWidget(saveEntryButton);
    buttons->addWidget(saveAllButton);
    buttons->addStretch(1);
    buttons->addWidget(exitButton);
    outer->addLayout(buttons);

    connect(saveEntryButton, &QPushButton::clicked, this, &ServiceBookEditor::saveEntry);
    connect(saveAllButton, &QPushButton::clicked, this, &ServiceBookEditor::saveAllEntries);
    connect(exitButton, &QPushButton::clicked, this, &ServiceBookEditor::exitClicked);
    resize(560, 640);
}

bool ServiceBookEditor::open(const BackupTree& tree, NodeId node,
                             const std::array<QString, 22>& texts) {
    auto entry = ServiceBookEntry::Of(tree, node);
    if (!entry) return false;
    recordHex->setPlainText(QString::fromLatin1(BytesToHex(entry->code)));
    for (std::size_t i = 0; i < fields_.size(); ++i)
        fields_[i]->setText(texts[i]);
    entryFrame->setTitle(QStringLiteral("Edit the *") + FromSingleByte(tree.text(node)) +
                         QStringLiteral("* service book"));
    entry_ = std::move(entry);
    return true;
}

std::optional<NodeId> ServiceBookEditor::entryNode() const {
    return entry_ ? std::optional<NodeId>(entry_->node) : std::nullopt;
}

void ServiceBookEditor::saveEntry() {
    save(ServiceBookSaveKind::EntryOnly);
}

void ServiceBookEditor::saveAllEntries() {
    save(ServiceBookSaveKind::AllEntries);
}

void ServiceBookEditor::exitClicked() {
    close();
}

void ServiceBookEditor::showField(std::size_t field) {
    if (field >= fields_.size()) return;
    if (field <= 10) tabs->setCurrentIndex(0);
    if (field >= 11 && field <= 16) tabs->setCurrentIndex(1);
    fields_[field]->setFocus();
}

void ServiceBookEditor::save(ServiceBookSaveKind kind) {
    if (!entry_) return;
    ServiceBookFields values;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        auto text = ToSingleByte(fields_[i]->text());
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
