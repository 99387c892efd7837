#include "gui/servicebook/servicebook_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "decoders/servicebook_decoder.h"

namespace orrelin::gui {
namespace {

QString Label(std::size_t index) {
    const std::string_view text = kServiceBookLabels[index];
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Small fields on one row with `separator` between them (an address of four numbers, two ports).
QWidget* SmallFieldRow(QWidget* parent, const ServiceBookField& field, std::size_t first,
                       std::size_t count, const QString& separator) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) layout->addWidget(new QLabel(separator, row));
        QWidget* widget = field(row, first + i);
        widget->setMaximumWidth(90);
        layout->addWidget(widget);
    }
    layout->addStretch(1);
    return row;
}

}  // namespace

QFormLayout* ValueForm(QWidget* owner) {
    auto* form = new QFormLayout(owner);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    return form;
}

QTabWidget* LayOutServiceBook(QWidget* owner, QBoxLayout* outer, const ServiceBookField& field,
                              const ServiceBookTabCaptions& captions) {
    auto* top = new QWidget(owner);
    auto* topForm = ValueForm(top);
    for (std::size_t i = 17; i <= 21; ++i)
        topForm->addRow(Label(i), field(top, i));
    outer->addWidget(top);

    auto* tabs = new QTabWidget(owner);
    tabs->setObjectName(QStringLiteral("serviceBookTabs"));
    outer->addWidget(tabs, 1);

    auto* network = new QWidget(tabs);
    tabs->addTab(network, QStringLiteral("Network"));
    auto* networkLayout = new QVBoxLayout(network);
    networkLayout->addWidget(new QLabel(QStringLiteral("HRT"), network));
    auto* networkFields = new QWidget(network);
    auto* networkForm = ValueForm(networkFields);
    for (std::size_t i = 0; i <= 4; ++i)
        networkForm->addRow(Label(i), field(networkFields, i));
    networkForm->addRow(Label(5), SmallFieldRow(networkFields, field, 5, 4, QStringLiteral(".")));
    networkForm->addRow(Label(9), SmallFieldRow(networkFields, field, 9, 2, QStringLiteral(";")));
    networkLayout->addWidget(networkFields);
    networkLayout->addStretch(1);

    auto* web = new QWidget(tabs);
    tabs->addTab(web, captions.web);
    auto* webForm = ValueForm(web);
    for (std::size_t i = 11; i <= 16; ++i)
        webForm->addRow(i == 14 ? captions.gateway : Label(i), field(web, i));
    return tabs;
}

}  // namespace orrelin::gui
