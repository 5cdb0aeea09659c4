// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class Playfield;

// Shows the playfield surface; repaints only the rectangles the surface reports changed.
class PlayfieldView final : public QWidget {
public:
    PlayfieldView(Playfield& field, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Playfield& field_;
};
