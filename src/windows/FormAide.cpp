#include "windows/FormAide.h"

#include "anipic/AniGif.h"
#include "platform/Units.h"
#include "windows/Activation.h"
#include "windows/Texts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>

using units::twipsToPx;

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
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      aniGif_(aniGif)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Aide de VORLIN"));
    setFixedSize(twipsToPx(3225), twipsToPx(7020));
    setAutoFillBackground(true);
    QPalette pal = palette();
    const QColor info = pal.color(QPalette::ToolTipBase);
    pal.setColor(QPalette::Window, info);
    pal.setColor(QPalette::Base, info);
    pal.setColor(QPalette::Text, pal.color(QPalette::ToolTipText));
    setPalette(pal);

    Picture1 = new QLabel(this);
    Picture1->setGeometry(twipsToPx(2850), twipsToPx(6120), twipsToPx(255), twipsToPx(855));
    Picture1->setPixmap(QPixmap::fromImage(sidePicture()));

    TextAide = new QPlainTextEdit(this);
    TextAide->setGeometry(0, twipsToPx(720), twipsToPx(3255), twipsToPx(6375));
    TextAide->setReadOnly(true);
    TextAide->setFrameShape(QFrame::NoFrame);
    QFont small(QStringLiteral("MS Sans Serif"));
    small.setPointSize(8);
    TextAide->setFont(small);
    TextAide->setTabStopDistance(TextAide->fontMetrics().averageCharWidth() * 3.0);
    TextAide->setPlainText(texts::helpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Picture1->raise();

    auto* element0 = new QLabel(this);
    element0->setGeometry(twipsToPx(1320), twipsToPx(120), twipsToPx(540), twipsToPx(540));
    AnimatedGIF1 = new ImageArray(element0, this);
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
