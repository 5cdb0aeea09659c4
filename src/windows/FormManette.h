// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Joystick.h"

#include <QWidget>
#include <array>
#include <memory>

class QComboBox;
class QLabel;
namespace platform {
class TimerClock;
class WindowTimer;
} // namespace platform

// One slot's stick on the 0..65535 square, with the thresholds where a push becomes a turn.
class StickView final : public QWidget {
public:
    StickView(QColor marker, QWidget* parent);
    void setPosition(std::uint32_t x, std::uint32_t y, bool present);
    // The marker with its pen: inside the widget at every position.
    QRectF markerRect() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPointF toWidget(double x, double y) const;
    QColor marker_;
    std::uint32_t x_ = 32767, y_ = 32767;
    bool present_ = false;
};

// "Réglage manette": what the game reads of each pad slot (Manette 1 steers black, Manette 2
// red), live at the idle poll's rate, and, with more than two pads, which pad fills a slot.
// Modeless: the game goes on beside it.
class FormManette final : public QWidget {
public:
    FormManette(platform::Joystick& joystick, platform::TimerClock& clock);
    ~FormManette() override;

    // One read of both slots, as the timer does every 50 ms.
    void TimerManette_Tick();

    std::array<QLabel*, 2> padName{};
    std::array<QComboBox*, 2> chooser{};
    std::array<StickView*, 2> stick{};
    std::array<QLabel*, 2> buttons{};
    std::array<QLabel*, 2> dpad{};
    std::unique_ptr<platform::WindowTimer> TimerManette;

private:
    void fillChoosers(const QStringList& pads);

    platform::Joystick& joystick_;
    QStringList shownPads_;
};
