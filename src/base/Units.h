// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRgb>
#include <cmath>
#include <cstdint>

namespace units {

constexpr int kTwipsPerPixel = 15;

// Rounds half to even, as every float-to-integer conversion of the game does.
inline int roundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

inline int twipsToPx(double twips) { return roundEven(twips / kTwipsPerPixel); }
inline int pxToTwips(double px) { return roundEven(px * kTwipsPerPixel); }

// Colours travel through the game as 0x00BBGGRR values.
using Colour = std::int32_t;

// The trails' colours and the playfield's, shared by the game and the windows that show them.
constexpr Colour kPlayfieldColour = 0xC6C3C6;
constexpr Colour kNoirColour = 0x000000;
constexpr Colour kRougeColour = 0x0000FF;

constexpr QRgb toQRgb(Colour c)
{
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

constexpr Colour fromQRgb(QRgb q)
{
    return static_cast<Colour>(qRed(q) | (qGreen(q) << 8) | (qBlue(q) << 16));
}

} // namespace units
