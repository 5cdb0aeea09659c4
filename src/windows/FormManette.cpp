// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/FormManette.h"

#include "input/Steering.h"
#include "look/Caption.h"
#include "look/WindowLook.h"
#include "platform/WindowTimer.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPainter>

namespace {

constexpr double kFull = 65535.0;
constexpr int kSlotWidth = 2700, kStickSide = 1800; // twips
// The marker's radius and pen, in pixels: its centre travels that far inside the square, so
// the whole disc shows at the edges and corners.
constexpr double kMarkerRadius = 6, kMarkerInset = kMarkerRadius + 1;

QString buttonList(std::uint32_t bits)
{
    QStringList down;
    for (int b = 0; b < 32; ++b)
        if (bits & (1u << b))
            down << QString::number(b + 1);
    return QStringLiteral("Boutons : ") + (down.isEmpty() ? QStringLiteral("aucun") : down.join(QLatin1Char(' ')));
}

QString dpadText(const platform::JoyInfo& info)
{
    const std::uint32_t pov = info.dwPOV;
    // The point of view in hundredths of a degree clockwise from up; 65535 when centred.
    static const char* const kDirections[] = {"haut", "haut-droite", "droite", "bas-droite",
                                              "bas", "bas-gauche", "gauche", "haut-gauche"};
    if (pov > 35999)
        return QStringLiteral("Croix : centre");
    const QString shown = QStringLiteral("Croix : ") + QString::fromUtf8(kDirections[(pov + 2250) / 4500 % 8]);
    // A pad's cross moves its stick and steers; a plain joystick's hat moves nothing the
    // game reads, which a player would take for a fault.
    if (input::joystickRule(info, 0) == 0)
        return shown + QStringLiteral("\n(la vorlin suit le manche)");
    return shown;
}

} // namespace

StickView::StickView(QColor marker, QWidget* parent) : QWidget(parent), marker_(marker) {}

void StickView::setPosition(std::uint32_t x, std::uint32_t y, bool present)
{
    if (x == x_ && y == y_ && present == present_)
        return;
    x_ = x;
    y_ = y;
    present_ = present;
    update();
}

QPointF StickView::toWidget(double x, double y) const
{
    return {kMarkerInset + x / kFull * (width() - 1 - 2 * kMarkerInset),
            kMarkerInset + y / kFull * (height() - 1 - 2 * kMarkerInset)};
}

QRectF StickView::markerRect() const
{
    const QPointF c = toWidget(x_, y_);
    const double r = kMarkerInset - 0.5; // the disc and half its pen
    return {c - QPointF(r, r), c + QPointF(r, r)};
}

void StickView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), present_ ? Qt::white : palette().color(QPalette::Window));
    // The joystick rule turns below 15000 and from 46000 on: the shaded bands are where a
    // push becomes a turn, the white square in the middle keeps the direction.
    const QColor turn(255, 224, 160);
    const double lo = input::kJoyLow, hi = input::kJoyHigh;
    const QPointF a = toWidget(lo, lo), b = toWidget(hi, hi);
    if (present_) {
        p.fillRect(QRectF(QPointF(0, 0), QPointF(width(), a.y())), turn);
        p.fillRect(QRectF(QPointF(0, b.y()), QPointF(width(), height())), turn);
        p.fillRect(QRectF(QPointF(0, 0), QPointF(a.x(), height())), turn);
        p.fillRect(QRectF(QPointF(b.x(), 0), QPointF(width(), height())), turn);
    }
    p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
    p.drawLine(QPointF(a.x(), 0), QPointF(a.x(), height()));
    p.drawLine(QPointF(b.x(), 0), QPointF(b.x(), height()));
    p.drawLine(QPointF(0, a.y()), QPointF(width(), a.y()));
    p.drawLine(QPointF(0, b.y()), QPointF(width(), b.y()));
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!present_)
        return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(marker_);
    p.setPen(QPen(Qt::black, 1));
    p.drawEllipse(toWidget(x_, y_), kMarkerRadius, kMarkerRadius);
}

FormManette::FormManette(platform::Joystick& joystick, platform::TimerClock& clock)
    : TimerManette(clock.createTimer()), joystick_(joystick)
{
    look::frameWindow(this, look::Frame::Tool, QStringLiteral("Réglage manette"), 2 * kSlotWidth + 360, 3600);
    setFont(look::designFont());
    const char* const titles[] = {"Manette 1 : vorlin noire", "Manette 2 : vorlin rouge"};
    const QColor markers[] = {QColor::fromRgb(units::toQRgb(units::kNoirColour)), QColor::fromRgb(units::toQRgb(units::kRougeColour))};
    for (int s = 0; s < 2; ++s) {
        const int left = 120 + s * (kSlotWidth + 120);
        auto* title = new QLabel(QString::fromUtf8(titles[s]), this);
        title->setGeometry(look::twips(left, 60, kSlotWidth, 255));
        title->setFont(look::designFont(8, true));
        padName[s] = new QLabel(this);
        padName[s]->setGeometry(look::twips(left, 330, kSlotWidth, 255));
        chooser[s] = new QComboBox(this);
        chooser[s]->setGeometry(look::twips(left, 300, kSlotWidth, 315));
        chooser[s]->hide();
        connect(chooser[s], &QComboBox::activated, this, [this, s](int index) {
            joystick_.assignSlot(s, index);
            TimerManette_Tick();
        });
        stick[s] = new StickView(markers[s], this);
        stick[s]->setGeometry(look::twips(left, 690, kStickSide, kStickSide));
        buttons[s] = new QLabel(this);
        buttons[s]->setGeometry(look::twips(left, 2580, kSlotWidth, 255));
        dpad[s] = new QLabel(this);
        dpad[s]->setGeometry(look::twips(left, 2880, kSlotWidth, 510));
        dpad[s]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    TimerManette->setInterval(50);
    TimerManette->onTick = [this] { TimerManette_Tick(); };
    TimerManette->setEnabled(true);
    TimerManette_Tick();
}

FormManette::~FormManette()
{
    TimerManette->setEnabled(false);
}

void FormManette::fillChoosers(const QStringList& pads)
{
    shownPads_ = pads;
    // The choice only matters when there are more pads than slots.
    for (int s = 0; s < 2; ++s) {
        chooser[s]->clear();
        for (int i = 0; i < pads.size(); ++i)
            chooser[s]->addItem(QStringLiteral("%1 : %2").arg(i + 1).arg(pads[i]));
        chooser[s]->setVisible(pads.size() > 2);
        padName[s]->setVisible(pads.size() <= 2);
    }
}

void FormManette::TimerManette_Tick()
{
    const QStringList pads = joystick_.connectedPads();
    if (pads != shownPads_)
        fillChoosers(pads);
    for (int s = 0; s < 2; ++s) {
        platform::JoyInfo info;
        info.dwSize = sizeof info;
        info.dwFlags = platform::kJoyReturnAll;
        const bool present = joystick_.joyGetPosEx(s, info) == 0;
        const QString name = present ? joystick_.slotName(s) : QString();
        // A long name ends in an ellipsis, whole in its tooltip.
        const QString full = name.isEmpty() ? QStringLiteral("Aucune manette") : name;
        padName[s]->setText(padName[s]->fontMetrics().elidedText(full, Qt::ElideRight, padName[s]->width()));
        padName[s]->setToolTip(padName[s]->text() == full ? QString() : full);
        if (chooser[s]->isVisible() && !chooser[s]->view()->isVisible()) {
            const qsizetype at = pads.indexOf(name);
            if (at >= 0 && chooser[s]->currentIndex() != at)
                chooser[s]->setCurrentIndex(static_cast<int>(at));
        }
        stick[s]->setPosition(info.dwXpos, info.dwYpos, present);
        buttons[s]->setText(present ? buttonList(info.dwButtons) : QString());
        dpad[s]->setText(present ? dpadText(info) : QString());
    }
}
