// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// A window timer as the game relies on it: Enabled and Interval are independent,
// interval 0 never fires even when enabled, intervals under 10 ms run at 10 ms,
// and of two timers with one interval the one enabled first fires first.
class WindowTimer {
public:
    static constexpr int kFloorMs = 10;

    virtual ~WindowTimer() = default;

    bool enabled() const { return enabled_; }
    int interval() const { return interval_; }
    void setEnabled(bool on);
    // Changing the interval of a running timer restarts its period.
    void setInterval(int ms);

    // The period the timer really runs at; 0 when it never fires.
    int effectiveInterval() const { return interval_ <= 0 ? 0 : (interval_ < kFloorMs ? kFloorMs : interval_); }
    bool armed() const { return enabled_ && interval_ > 0; }

    std::function<void()> onTick;

protected:
    // Called whenever armed() or the period may have changed; restart means a new period begins now.
    virtual void rearm() = 0;
    void fire()
    {
        if (armed() && onTick)
            onTick();
    }

private:
    bool enabled_ = false;
    int interval_ = 0;
};

// Where timers come from: the Qt event loop in the game, a virtual clock in tests
// (tests/support/VirtualClock.h).
class TimerClock {
public:
    virtual ~TimerClock() = default;
    virtual std::unique_ptr<WindowTimer> createTimer() = 0;
};

// Real window timers on the Qt event loop (Qt::PreciseTimer keeps the order of enabling).
class QtTimerClock final : public TimerClock {
public:
    std::unique_ptr<WindowTimer> createTimer() override;
};

} // namespace platform
