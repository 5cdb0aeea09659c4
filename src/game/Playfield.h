// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/Units.h"

#include <QImage>
#include <QRect>
#include <functional>

// The playfield: what is shown and, at the same time, the only record of which places
// are taken. A place is free exactly when its pixel still holds the background colour.
class Playfield {
public:
    static constexpr units::Colour kOutside = -1;

    Playfield();

    void setBackColor(units::Colour c);
    units::Colour backColor() const { return back_; }

    void setDrawWidth(int w) { drawWidth_ = w; }
    int drawWidth() const { return drawWidth_; }

    // New size; what was drawn stays where the old and new areas overlap.
    void setSize(int width, int height);
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    // Repaints the whole surface in the background colour, which wipes every trail.
    void refresh();
    // Exactly the colour painted there; kOutside off the surface.
    units::Colour point(int x, int y) const;
    // A line with the pen of the draw width and round ends: from (x1, y1) to (x2, y2).
    void line(int x1, int y1, int x2, int y2, units::Colour c);

    const QImage& image() const { return image_; }

    // Told which rectangle changed, so a view repaints only that.
    std::function<void(const QRect&)> onChanged;

private:
    void changed(const QRect& r)
    {
        if (onChanged)
            onChanged(r);
    }

    QImage image_;
    units::Colour back_ = 0xFFFFFF;
    int drawWidth_ = 1;
};
