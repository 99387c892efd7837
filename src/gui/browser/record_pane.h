#pragma once

#include <QGroupBox>
#include <QString>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gui/common/value_field.h"
#include "kinds/record_kinds.h"

class QTabWidget;

namespace orrelin::gui {

// One value field of a record pane: the field's name, its label ("" for a box that takes the
// whole width), the tab it sits on ("" in a pane without tabs), the record slot it shows and
// its shape.
struct PaneRow {
    std::string_view name;
    std::string_view label;
    std::string_view tab;
    std::size_t slot;
    FieldShape shape = FieldShape::Line;
};

// A frame that shows one record of a kind: the caption of the kind's pane and a column of
// labelled read-only fields made from its pane rows, on tabs when they name any. Values arrive
// as single-byte text and are shown through code page 1256, or as UTF-8 after setUnicode(true);
// a pane keeps what it showed last until it is filled again.
class RecordPane : public QGroupBox {
    Q_OBJECT
  public:
    RecordPane(const KindInfo& kind, QWidget* parent);

    // Fills every field from the record's values, by slot.
    void setValues(std::span<const std::string> values);
    void setUnicode(bool unicode) { unicode_ = unicode; }
    // The field called `name`, or nothing.
    const ValueField* field(std::string_view name) const;
    // The tabs (nothing in a pane without tabs), and the page of the first tab or else the pane
    // itself: a widget laid out in a box, which a photo box can join.
    QTabWidget* tabs() const { return tabs_; }
    QWidget* firstPage() const { return firstPage_; }

  private:
    struct Field {
        PaneRow row;
        ValueField value;
    };
    std::vector<Field> fields_;
    QTabWidget* tabs_ = nullptr;
    QWidget* firstPage_ = nullptr;
    bool unicode_ = false;
};

}  // namespace orrelin::gui
