#include "gui/browser/record_pane.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/common/single_byte.h"
#include "gui/servicebook/servicebook_form.h"

namespace orrelin::gui {
namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr FieldShape ShapeOf(PaneShape shape) {
    switch (shape) {
        case PaneShape::FewLines:
            return FieldShape::FewLines;
        case PaneShape::Wrapped:
            return FieldShape::Wrapped;
        case PaneShape::Box:
            return FieldShape::Box;
        case PaneShape::Line:
            break;
    }
    return FieldShape::Line;
}

// One pane row per field row, in the table's order or in the pane's, named by the pane.
std::vector<PaneRow> RowsOf(const KindInfo& kind) {
    const PaneInfo& pane = kind.pane;
    std::vector<PaneRow> rows;
    rows.reserve(pane.fieldNames.size());
    for (std::size_t i = 0; i < pane.fieldNames.size() && i < kind.fields.size(); ++i) {
        const FieldRow& field = kind.fields[pane.order.empty() ? i : pane.order[i]];
        rows.push_back({pane.fieldNames[i], field.pane, PaneTabOf(pane.tabs, field.slot),
                        field.slot, ShapeOf(PaneShapeOf(pane.shapes, field.slot))});
    }
    return rows;
}

}  // namespace

RecordPane::RecordPane(const KindInfo& kind, QWidget* parent)
    : QGroupBox(Text(kind.pane.title), parent) {
    const QString name = Text(kind.pane.objectName);
    const std::vector<PaneRow> rows = RowsOf(kind);
    setObjectName(name);
    hide();
    auto* outer = new QVBoxLayout(this);
    bool tabbed = false;
    for (const PaneRow& row : rows)
        tabbed = tabbed || !row.tab.empty();
    if (tabbed) {
        tabs_ = new QTabWidget(this);
        tabs_->setObjectName(name + QStringLiteral("Tabs"));
        outer->addWidget(tabs_);
    } else {
        firstPage_ = this;
    }

    // Each tab (or the pane itself) holds a form; a page's form sits in a row that other
    // widgets (a photo) can join.
    std::vector<std::pair<std::string_view, QFormLayout*>> forms;
    auto formOf = [&](std::string_view tab) {
        for (const auto& [known, form] : forms) {
            if (known == tab) return form;
        }
        QWidget* owner = this;
        if (tabs_) {
            auto* page = new QWidget(tabs_);
            tabs_->addTab(page, Text(tab));
            auto* pageLayout = new QHBoxLayout(page);
            if (!firstPage_) firstPage_ = page;
            owner = new QWidget(page);
            pageLayout->addWidget(owner, 1);
        } else {
            owner = new QWidget(this);
            outer->addWidget(owner);
        }
        QFormLayout* form = ValueForm(owner);
        form->setContentsMargins(QMargins());
        forms.emplace_back(tab, form);
        return form;
    };

    fields_.reserve(rows.size());
    for (const PaneRow& row : rows) {
        QFormLayout* form = formOf(row.tab);
        ValueField value(form->parentWidget(), Text(row.name), row.shape);
        if (row.label.empty()) {
            form->addRow(value.widget());
        } else {
            form->addRow(Text(row.label), value.widget());
        }
        fields_.push_back({row, value});
    }
}

void RecordPane::setValues(std::span<const std::string> values) {
    for (Field& field : fields_) {
        const std::size_t slot = field.row.slot;
        if (slot >= values.size()) {
            field.value.setText(QString());
        } else {
            field.value.setText(unicode_ ? QString::fromStdString(values[slot])
                                         : FromSingleByte(values[slot]));
        }
    }
}

const ValueField* RecordPane::field(std::string_view name) const {
    for (const Field& field : fields_) {
        if (field.row.name == name) return &field.value;
    }
    return nullptr;
}

}  // namespace orrelin::gui
