#pragma once

#include <QString>
#include <optional>
#include <string>

namespace orrelin::gui {

// Single-byte text as the window shows it: every byte through code page 1256.
QString FromSingleByte(const std::string& text);

// Back to single-byte text: each character's code page 1256 byte; nothing when a character
// has none.
std::optional<std::string> ToSingleByte(const QString& text);

}  // namespace orrelin::gui
