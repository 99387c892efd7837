#include "gui/common/single_byte.h"

#include <QList>

#include "text/codepage.h"

namespace orrelin::gui {

QString FromSingleByte(const std::string& text) {
    return QString::fromStdString(SingleByteToUtf8(text, CodePage::Cp1256));
}

std::optional<std::string> ToSingleByte(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (auto code : text.toUcs4()) {
        auto u = static_cast<char32_t>(code);
        auto b = Cp1256Byte(u);
        if (!b) return std::nullopt;
        out.push_back(static_cast<char>(*b));
    }
    return out;
}

}  // namespace orrelin::gui
