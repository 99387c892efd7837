#include "gui/common/value_field.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextOption>

#include "gui/common/value_font.h"

namespace orrelin::gui {
namespace {

constexpr int kBoxHeight = 90;

QPlainTextEdit* NewBox(QWidget* parent, const QString& name) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFont(ValueFont());
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return box;
}

}  // namespace

ValueField::ValueField(QWidget* parent, const QString& name, FieldShape shape) {
    switch (shape) {
        case FieldShape::Line:
            line_ = new QLineEdit(parent);
            line_->setObjectName(name);
            line_->setReadOnly(true);
            line_->setFont(ValueFont());
            line_->setCursorMoveStyle(Qt::VisualMoveStyle);
            break;
        case FieldShape::FewLines: {
            box_ = NewBox(parent, name);
            // Two lines and the frame: a street and a second line show without scrolling.
            const int lines = 2 * QFontMetrics(box_->font()).lineSpacing();
            box_->setFixedHeight(lines + 2 * box_->frameWidth() +
                                 static_cast<int>(2 * box_->document()->documentMargin()));
            break;
        }
        case FieldShape::Box:
            box_ = NewBox(parent, name);
            box_->setMinimumHeight(kBoxHeight);
            break;
    }
}

void ValueField::setText(const QString& text) {
    if (line_) {
        line_->setText(text);
        line_->setCursorPosition(0);
    }
    if (box_) {
        // A plain text box aligns every paragraph to one edge whatever its direction: the edge
        // the text starts at, as a line field does, so that Arabic starts at the right.
        QTextOption option = box_->document()->defaultTextOption();
        option.setAlignment(text.isRightToLeft() ? Qt::AlignRight : Qt::AlignLeft);
        box_->document()->setDefaultTextOption(option);
        box_->setPlainText(text);
    }
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

}  // namespace orrelin::gui
