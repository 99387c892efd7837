#pragma once

#include <QGroupBox>
#include <QString>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gui/common/value_field.h"

class QTabWidget;

namespace orrelin::gui {

// One value field of a record pane: the field's name, its label ("" for a box that takes the
// whole width), the tab it sits on ("" in a pane without tabs), the record slot it shows and
// its shape. A pane is made from a list of these, in the order they are shown.
struct PaneRow {
    std::string_view name;
    std::string_view label;
    std::string_view tab;
    std::size_t slot;
    FieldShape shape = FieldShape::Line;
};

// A frame that shows one record: its caption and a column of labelled read-only fields, on
// tabs when the rows name any. Values arrive as single-byte text and are shown through code
// page 1256, or as UTF-8 after setUnicode(true); a pane keeps what it showed last until it is
// filled again.
class RecordPane : public QGroupBox {
    Q_OBJECT
  public:
    RecordPane(const QString& caption, const QString& name, std::span<const PaneRow> rows,
               QWidget* parent);

    // Fills every field from the record's values, by slot.
    void setValues(std::span<const std::string> values);
    void setUnicode(bool unicode) { unicode_ = unicode; }
    // The field called `name`, or nothing.
    const ValueField* field(std::string_view name) const;
    // The tabs (nothing in a pane without tabs) and the page of the tab called `tab`.
    QTabWidget* tabs() const { return tabs_; }
    QWidget* page(std::string_view tab) const;

  private:
    struct Field {
        const PaneRow* row;
        ValueField value;
    };
    std::span<const PaneRow> rows_;
    std::vector<Field> fields_;
    QTabWidget* tabs_ = nullptr;
    bool unicode_ = false;
    std::vector<std::pair<std::string_view, QWidget*>> pages_;
};

}  // namespace orrelin::gui
