// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>

// The initials are Windows-1252 codes, in the key-press rule and in the settings file.
namespace cp1252 {

// A character's code; characters outside Windows-1252 count as "?" (63).
std::uint8_t fromChar(QChar c);
QChar toChar(std::uint8_t code);
// A code that stands for a printable character: not a control code (0x00-0x1F, 0x7F, 0x80-0x9F
// where Windows-1252 leaves them undefined).
bool isPrintable(std::uint8_t code);
QString toString(const std::uint8_t* codes, int n);

} // namespace cp1252
