#include "gui/common/value_field.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>

#include "gui/common/value_font.h"

namespace orrelin::gui {
namespace {

constexpr int kBoxHeight = 90;
// A wrapped field grows to this many lines, then scrolls.
constexpr int kWrappedLines = 4;

void SetUpBox(QPlainTextEdit* box, const QString& name) {
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFont(ValueFont());
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

QPlainTextEdit* NewBox(QWidget* parent, const QString& name) {
    auto* box = new QPlainTextEdit(parent);
    SetUpBox(box, name);
    return box;
}

// A box as tall as the lines its text wraps to in its width, one at least and kWrappedLines at
// most. A word longer than a line (an address) breaks anywhere.
class WrappedBox : public QPlainTextEdit {
  public:
    WrappedBox(QWidget* parent, const QString& name) : QPlainTextEdit(parent) {
        SetUpBox(this, name);
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        connect(this, &QPlainTextEdit::textChanged, this, &WrappedBox::fit);
        fit();
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QPlainTextEdit::resizeEvent(event);
        fit();
    }

  private:
    // Lays the text out as the box does, in the width its viewport leaves.
    void fit() {
        const qreal margin = document()->documentMargin();
        const qreal width = std::max<qreal>(1, viewport()->width() - 2 * margin);
        qreal height = 0;
        int lines = 0;
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
            QTextLayout layout(block.text(), font());
            layout.setTextOption(document()->defaultTextOption());
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLeadingIncluded(true);
                line.setLineWidth(width);
                if (lines++ < kWrappedLines) height += line.height();
            }
            layout.endLayout();
        }
        if (lines == 0) height = QFontMetricsF(font()).height();
        // The box scrolls unless its viewport is a pixel taller than the text and its margins.
        setFixedHeight(static_cast<int>(std::ceil(height + 2 * margin)) + 1 + 2 * frameWidth());
    }
};

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
        case FieldShape::Wrapped:
            box_ = new WrappedBox(parent, name);
            break;
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
