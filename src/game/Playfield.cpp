// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Playfield.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

Playfield::Playfield() : image_(1, 1, QImage::Format_RGB32)
{
    image_.fill(units::toQRgb(back_));
}

void Playfield::setBackColor(units::Colour c)
{
    back_ = c;
}

void Playfield::setSize(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == image_.width() && height == image_.height())
        return;
    QImage next(width, height, QImage::Format_RGB32);
    next.fill(units::toQRgb(back_));
    {
        QPainter p(&next);
        p.drawImage(0, 0, image_);
    }
    image_ = std::move(next);
    changed(image_.rect());
}

void Playfield::refresh()
{
    image_.fill(units::toQRgb(back_));
    changed(image_.rect());
}

units::Colour Playfield::point(int x, int y) const
{
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return kOutside;
    const auto* row = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
    return units::fromQRgb(row[x]);
}

void Playfield::line(int x1, int y1, int x2, int y2, units::Colour c)
{
    // Every pixel within half a pen width of the segment. Drawn by hand so that what is
    // read back is exact and the cost does not depend on the size of the field.
    const double r = std::max(drawWidth_, 1) / 2.0;
    const int reach = static_cast<int>(std::ceil(r));
    const int left = std::max(std::min(x1, x2) - reach, 0);
    const int right = std::min(std::max(x1, x2) + reach, image_.width() - 1);
    const int top = std::max(std::min(y1, y2) - reach, 0);
    const int bottom = std::min(std::max(y1, y2) + reach, image_.height() - 1);
    if (left > right || top > bottom)
        return;

    const double dx = x2 - x1, dy = y2 - y1;
    const double len2 = dx * dx + dy * dy;
    const double r2 = r * r;
    const QRgb pen = units::toQRgb(c);
    for (int y = top; y <= bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = left; x <= right; ++x) {
            double t = len2 > 0 ? ((x - x1) * dx + (y - y1) * dy) / len2 : 0.0;
            t = std::clamp(t, 0.0, 1.0);
            const double ex = x1 + t * dx - x, ey = y1 + t * dy - y;
            if (ex * ex + ey * ey <= r2)
                row[x] = pen;
        }
    }
    changed(QRect(QPoint(left, top), QPoint(right, bottom)));
}
