// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/FormAbout.h"

#include "anipic/AniGif.h"
#include "look/Caption.h"
#include "look/WindowLook.h"
#include "platform/Shell.h"
#include "windows/Activation.h"
#include "windows/CurseurAni.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMovie>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

using look::twips;

namespace {

QLabel* label(QWidget* parent, const QString& text, const QRect& r, QColor fg, QColor bg)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(r);
    look::setColour(l, QPalette::WindowText, fg);
    look::setColour(l, QPalette::Window, bg);
    return l;
}

QWidget* blackShape(QWidget* parent, const QRect& r)
{
    auto* w = new QWidget(parent);
    w->setGeometry(r);
    look::setColour(w, QPalette::Window, Qt::black);
    return w;
}

// The links' pointer: a small monochrome hand whose finger tip, at (5, 0), is the hot spot.
QCursor linkCursor()
{
    QBitmap shape(32, 32), mask(32, 32);
    shape.fill(Qt::color0);
    mask.fill(Qt::color0);
    QPainter ps(&shape), pm(&mask);
    const QRect finger(3, 0, 5, 12), palm(3, 9, 13, 11);
    for (QPainter* p : {&pm}) {
        p->setPen(Qt::color1);
        p->setBrush(Qt::color1);
        p->drawRoundedRect(finger.adjusted(-1, 0, 1, 0), 2, 2);
        p->drawRoundedRect(palm.adjusted(-1, -1, 1, 1), 3, 3);
    }
    ps.setPen(Qt::color1);
    ps.setBrush(Qt::color0);
    ps.drawRoundedRect(finger, 2, 2);
    ps.drawRoundedRect(palm, 3, 3);
    ps.drawLine(8, 10, 8, 14);
    ps.drawLine(11, 10, 11, 14);
    ps.end();
    pm.end();
    return QCursor(shape, mask, 5, 0);
}

} // namespace

FormAbout::FormAbout(AniGif& aniGif, platform::Shell& shell, QWidget* mainWindow)
    : aniGif_(aniGif),
      shell_(shell),
      mainWindow_(mainWindow)
{
    look::frameWindow(this, look::Frame::Tool, QStringLiteral("A propos de VORLIN ..."), 4365, 4170);
    setFont(look::designFont());

    // The black panel behind the links comes first, so the texts lie over it.
    Shape2 = blackShape(this, twips(360, 3480, 990, 540));
    Shape1 = blackShape(this, twips(1080, 2760, 135, 855));
    lblDisclaimer = label(this, QStringLiteral("Un record, une idée, un bug ?\nÉcrivez-nous :"),
                          twips(1200, 2760, 2790, 1260), Qt::yellow, Qt::black);
    lblDisclaimer->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblDisclaimer->setWordWrap(true);

    buildTopArea();

    Label3 = label(this, QStringLiteral("Page WEB :"), twips(480, 3700, 1095, 255), QColor(0, 128, 0), Qt::black);
    Label3_lienWeb = label(this, QStringLiteral("example.org"), twips(1800, 3700, 1455, 255), QColor(0, 192, 0), Qt::black);
    Label3_lienWeb->setToolTip(QStringLiteral("Visiter site ") + kWebAddress);
    Labelmail = label(this, kMailAddress, twips(1680, 3360, 1575, 255), QColor(0, 192, 0),
                      palette().color(QPalette::WindowText));
    Labelmail->setToolTip(QStringLiteral("Envoyer courrier"));
    for (QLabel* link : {Label3_lienWeb, Labelmail}) {
        link->setFont(look::designFont(8.25, false, true));
        link->setCursor(linkCursor());
        link->installEventFilter(this);
    }

    auto* element0 = new QLabel(this);
    element0->setGeometry(twips(360, 2760, 750, 750));
    AnimatedGIF = new ImageArray(element0, this);
    // The design-time picture, built in: shown until a load from the resource folder
    // replaces it, and all the time without that folder.
    designPicture = new QMovie(QStringLiteral(":/about-design.gif"), QByteArray(), element0);
    element0->setMovie(designPicture);
    designPicture->start();
    aniGif_.AnimatedGIF = AnimatedGIF;

    Label2 = new QLabel(QStringLiteral(
        "Vorlin : 60\u00A0% de réflexes, 40\u00A0% de stratégie et 100\u00A0% de mauvaise foi quand on perd. "
        "On y joue depuis la nuit des temps : il tournait déjà sur les premiers ordinateurs "
        "familiaux, avec 1\u00A0K de mémoire."), this);
    Label2->setGeometry(twips(240, 1560, 3855, 1455));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);

    new ActivationWatcher(this, [this] { Form_Activate(); });
}

void FormAbout::buildTopArea()
{
    Frame1 = new QFrame(this);
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Frame1->setGeometry(twips(120, 0, 4095, 1335));
    Frame1->setToolTip(QStringLiteral("Click to Version history"));
    Image1 = new QLabel(Frame1);
    Image1->setGeometry(twips(240, 240, 1095, 975));
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(QStringLiteral(":/vorlin.ico")));
    Image1->setToolTip(QStringLiteral("Click to Version history"));
    Label1 = new QLabel(QStringLiteral("VORLIN V 1.06"), Frame1);
    Label1->setGeometry(twips(1680, 600, 1935, 375));
    Label1->setFont(look::designFont(12, true));
    Label1->setToolTip(QStringLiteral("Click to Version History"));
    // A click anywhere on the top area opens the version history.
    for (QWidget* w : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Image1), static_cast<QWidget*>(Label1)})
        w->installEventFilter(this);
}

FormAbout::~FormAbout()
{
    Form_Unload();
}

void FormAbout::Form_Activate()
{
    CurseurAni::LoadAniCursor(Frame1, QStringLiteral("Vorlin107_rsc\\IconeAnim001_16c.ani"));
    // Coming back from the version history must not restart the animation.
    if (FlagVH != 0) {
        FlagVH = 0;
        return;
    }
    aniGif_.LoadAniGif(QStringLiteral("Vorlin107_rsc\\email00.gif"), *AnimatedGIF);
    aniGif_.setIntervalFromTag(*AnimatedGIF);
    if (AnimatedGIF->element(0) && AnimatedGIF->element(0)->movie() != designPicture)
        designPicture->stop(); // replaced by the loaded frames
}

void FormAbout::Frame1_Click()
{
    if (onVersionHistory)
        onVersionHistory();
    FlagVH = 1;
}

void FormAbout::Label3_lienWeb_Click()
{
    shell_.open(kWebAddress);
}

void FormAbout::Labelmail_Click()
{
    shell_.open(QStringLiteral("mailto:") + kMailAddress + QStringLiteral("?Subject=") + QStringLiteral("Vorlin Windows"));
    if (mainWindow_)
        mainWindow_->showMinimized();
    close();
}

void FormAbout::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    aniGif_.TimerAniGif->setInterval(0);
    aniGif_.UnloadAniGif(*AnimatedGIF);
    CurseurAni::UnloadAniCursor(Frame1);
    if (mainWindow_)
        mainWindow_->setEnabled(true);
}

void FormAbout::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

bool FormAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Frame1 || watched == Image1 || watched == Label1)
            Frame1_Click();
        else if (watched == Label3_lienWeb)
            Label3_lienWeb_Click();
        else if (watched == Labelmail)
            Labelmail_Click();
    }
    return QWidget::eventFilter(watched, event);
}
