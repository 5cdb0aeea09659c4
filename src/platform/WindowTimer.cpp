// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowTimer.h"

#include <QObject>
#include <QTimer>

namespace platform {

void WindowTimer::setEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    rearm();
}

void WindowTimer::setInterval(int ms)
{
    if (ms == interval_)
        return;
    interval_ = ms;
    rearm();
}

namespace {

class QtWindowTimer final : public WindowTimer {
public:
    QtWindowTimer()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
    }

protected:
    void rearm() override
    {
        timer_.stop();
        if (armed())
            timer_.start(effectiveInterval());
    }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<WindowTimer> QtTimerClock::createTimer()
{
    return std::make_unique<QtWindowTimer>();
}

} // namespace platform
