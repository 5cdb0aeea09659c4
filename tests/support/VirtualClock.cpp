// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/VirtualClock.h"

#include <algorithm>

class VirtualClock::Timer final : public platform::WindowTimer {
public:
    explicit Timer(VirtualClock* clock) : clock_(clock) { clock_->timers_.push_back(this); }
    ~Timer() override
    {
        if (clock_)
            std::erase(clock_->timers_, this);
    }

    void tick()
    {
        due_ += effectiveInterval();
        fire();
    }

    VirtualClock* clock_;
    std::int64_t due_ = 0;
    std::uint64_t armedSeq_ = 0;

protected:
    void rearm() override
    {
        if (!armed() || !clock_)
            return;
        due_ = clock_->now_ + effectiveInterval();
        armedSeq_ = ++clock_->seq_;
    }
};

VirtualClock::VirtualClock() = default;

VirtualClock::~VirtualClock()
{
    for (Timer* t : timers_)
        t->clock_ = nullptr;
}

std::unique_ptr<platform::WindowTimer> VirtualClock::createTimer()
{
    return std::make_unique<Timer>(this);
}

VirtualClock::Timer* VirtualClock::nextDue() const
{
    Timer* best = nullptr;
    for (Timer* t : timers_) {
        if (!t->armed())
            continue;
        if (!best || t->due_ < best->due_ || (t->due_ == best->due_ && t->armedSeq_ < best->armedSeq_))
            best = t;
    }
    return best;
}

void VirtualClock::advance(std::int64_t ms)
{
    const std::int64_t end = now_ + ms;
    for (Timer* t = nextDue(); t && t->due_ <= end; t = nextDue()) {
        now_ = t->due_;
        t->tick();
    }
    now_ = end;
}

bool VirtualClock::advanceUntil(const std::function<bool()>& pred, std::int64_t maxMs)
{
    const std::int64_t end = now_ + maxMs;
    while (!pred()) {
        Timer* t = nextDue();
        if (!t || t->due_ > end) {
            now_ = end;
            return pred();
        }
        now_ = t->due_;
        t->tick();
    }
    return true;
}
