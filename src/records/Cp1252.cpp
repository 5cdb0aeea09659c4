// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/Cp1252.h"

namespace cp1252 {

namespace {

// 0x80..0x9F; 0 where Windows-1252 has no character.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

std::uint8_t fromChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<std::uint8_t>(u);
    if (u < 0xA0 && kHigh[u - 0x80] == 0) // the five codes Windows-1252 leaves undefined
        return static_cast<std::uint8_t>(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0 && kHigh[i] == u)
            return static_cast<std::uint8_t>(0x80 + i);
    return '?';
}

QChar toChar(std::uint8_t code)
{
    if (code >= 0x80 && code < 0xA0)
        return kHigh[code - 0x80] ? QChar(kHigh[code - 0x80]) : QChar(code); // undefined: kept as a C1 code
    return QChar(code);
}

bool isPrintable(std::uint8_t code)
{
    if (code < 0x20 || code == 0x7F)
        return false;
    return code < 0x80 || code >= 0xA0 || kHigh[code - 0x80] != 0;
}

QString toString(const std::uint8_t* codes, int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += toChar(codes[i]);
    return s;
}

} // namespace cp1252
