// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/PlayfieldView.h"

#include "game/Playfield.h"
#include "platform/PaintLog.h"

#include <QPaintEvent>
#include <QPainter>

PlayfieldView::PlayfieldView(Playfield& field, QWidget* parent) : QWidget(parent), field_(field)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    setFocusPolicy(Qt::NoFocus);
    field_.onChanged = [this](const QRect& r) {
        if (size() != field_.image().size())
            resize(field_.image().size());
        update(r);
    };
    resize(field_.image().size());
}

void PlayfieldView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect r = event->rect();
    platform::logPaint(r);
    p.drawImage(r.topLeft(), field_.image(), r);
}
