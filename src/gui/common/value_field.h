#pragma once

#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace orrelin::gui {

// How a value field is drawn: one line; a box of a few lines that keeps line breaks (an
// address); a box as tall as the lines its text wraps to, up to a few, then it scrolls (the
// addresses of a message); a tall box that wraps (notes, a message).
enum class FieldShape { Line, FewLines, Wrapped, Box };

// One read-only value field. Right-to-left text (Arabic) starts at the right edge in every
// shape.
class ValueField {
  public:
    ValueField() = default;
    ValueField(QWidget* parent, const QString& name, FieldShape shape);

    void setText(const QString& text);
    QString text() const;
    QWidget* widget() const;

  private:
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* box_ = nullptr;
};

}  // namespace orrelin::gui
