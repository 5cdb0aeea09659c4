// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowTimer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The tests' and benchmarks' timer source; never linked into the game.
// A clock that only moves when told to. Timers fire in order of due time; a tie goes to the
// timer armed first, as on a real desktop.
class VirtualClock final : public platform::TimerClock {
public:
    VirtualClock();
    ~VirtualClock() override;
    std::unique_ptr<platform::WindowTimer> createTimer() override;

    std::int64_t now() const { return now_; }
    // Runs every tick due up to now + ms, in order, then leaves the clock at now + ms.
    void advance(std::int64_t ms);
    // Runs ticks one at a time until pred() holds or maxMs of virtual time have passed.
    // Returns whether pred() held.
    bool advanceUntil(const std::function<bool()>& pred, std::int64_t maxMs);

private:
    class Timer;
    friend class Timer;
    Timer* nextDue() const;

    std::int64_t now_ = 0;
    std::uint64_t seq_ = 0;
    std::vector<Timer*> timers_;
};
