// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/FormAide.h"

#include "anipic/AniGif.h"
#include "look/Caption.h"
#include "look/WindowLook.h"
#include "windows/Activation.h"
#include "windows/Texts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QPlainTextEdit>

namespace {

// The little upright picture beside the text: a black and a red band running up.
QImage sidePicture()
{
    QImage img(13, 53, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(2, 10, 3, 43);
    p.setBrush(Qt::red);
    p.drawRect(8, 0, 3, 53);
    return img;
}

} // namespace

FormAide::FormAide(AniGif& aniGif)
    : aniGif_(aniGif)
{
    look::frameWindow(this, look::Frame::Tool, QStringLiteral("Aide de VORLIN"), 3225, 7020);
    // The desktop's tooltip colours, as the design's "info" colours.
    const QColor info = palette().color(QPalette::ToolTipBase);
    look::setColour(this, QPalette::Window, info);
    look::setColour(this, QPalette::Base, info);
    look::setColour(this, QPalette::Text, palette().color(QPalette::ToolTipText));

    Picture1 = new QLabel(this);
    Picture1->setGeometry(look::twips(2850, 6120, 255, 855));
    Picture1->setPixmap(QPixmap::fromImage(sidePicture()));

    TextAide = new QPlainTextEdit(this);
    TextAide->setGeometry(look::twips(0, 720, 3255, 6375));
    TextAide->setReadOnly(true);
    TextAide->setFrameShape(QFrame::NoFrame);
    TextAide->setFont(look::designFont());
    // A text box of the design's platform: tab stops every 8 average characters, no scroll
    // bar (the last, empty line is cut by the box, as designed).
    TextAide->setTabStopDistance(8.0 * TextAide->fontMetrics().averageCharWidth());
    TextAide->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TextAide->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TextAide->setPlainText(texts::helpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Picture1->raise();

    auto* element0 = new QLabel(this);
    element0->setGeometry(look::twips(1320, 120, 540, 540));
    AnimatedGIF1 = new ImageArray(element0, this);
    // The design-time picture, built in: shown until a load from the resource folder
    // replaces it, and all the time without that folder.
    designPicture = new QMovie(QStringLiteral(":/help-design.gif"), QByteArray(), element0);
    element0->setMovie(designPicture);
    designPicture->start();
    aniGif_.AnimatedGIF1 = AnimatedGIF1;

    new ActivationWatcher(this, [this] { Form_Activate(); });
}

FormAide::~FormAide()
{
    Form_Unload();
}

void FormAide::Form_Activate()
{
    aniGif_.LoadAniGif(QStringLiteral("Vorlin107_rsc\\GifAni001.gif"), *AnimatedGIF1);
    aniGif_.setIntervalFromTag(*AnimatedGIF1);
    if (AnimatedGIF1->element(0) && AnimatedGIF1->element(0)->movie() != designPicture)
        designPicture->stop(); // replaced by the loaded frames
}

void FormAide::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    // Stops both animations: the timer is shared with the About window.
    aniGif_.TimerAniGif->setInterval(0);
    aniGif_.UnloadAniGif(*AnimatedGIF1);
}

void FormAide::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}
