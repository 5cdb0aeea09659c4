// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowTimer.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>
#include <string>


// The game holds an idle trail still by giving its timer interval 0 while enabling it.
TEST(WindowTimer, IntervalZeroNeverFires)
{
    VirtualClock clock;
    auto t = clock.createTimer();
    int ticks = 0;
    t->onTick = [&] { ++ticks; };
    t->setEnabled(true);
    t->setInterval(0);
    clock.advance(10'000);
    EXPECT_EQ(ticks, 0);
    t->setInterval(100);
    clock.advance(1000);
    EXPECT_EQ(ticks, 10);
}

// "GrandMaître" asks for 1 ms: a desktop timer cannot go below 10 ms.
TEST(WindowTimer, ShortIntervalsRunAtTheFloor)
{
    VirtualClock clock;
    auto t = clock.createTimer();
    int ticks = 0;
    t->onTick = [&] { ++ticks; };
    t->setInterval(1);
    t->setEnabled(true);
    clock.advance(1000);
    EXPECT_EQ(ticks, 100);
    EXPECT_EQ(t->interval(), 1);
}

// The trail whose timer is enabled first takes a contested place: the order must hold in
// every period, whichever timer was created first.
TEST(WindowTimer, FirstEnabledFiresFirstInEveryPeriod)
{
    VirtualClock clock;
    auto a = clock.createTimer();
    auto b = clock.createTimer();
    std::string order;
    a->onTick = [&] { order += 'a'; };
    b->onTick = [&] { order += 'b'; };
    a->setInterval(100);
    b->setInterval(100);
    b->setEnabled(true);
    a->setEnabled(true);
    clock.advance(300);
    EXPECT_EQ(order, "bababa");

    order.clear();
    a->setEnabled(false);
    b->setEnabled(false);
    a->setEnabled(true);
    b->setEnabled(true);
    clock.advance(200);
    EXPECT_EQ(order, "abab");
}

// A handler that disables the other timer stops it before its pending tick in the same period.
TEST(WindowTimer, DisablingFromAHandlerCancelsThePendingTick)
{
    VirtualClock clock;
    auto a = clock.createTimer();
    auto b = clock.createTimer();
    int bTicks = 0;
    a->setInterval(100);
    b->setInterval(100);
    a->onTick = [&] { b->setEnabled(false); };
    b->onTick = [&] { ++bTicks; };
    a->setEnabled(true);
    b->setEnabled(true);
    clock.advance(1000);
    EXPECT_EQ(bTicks, 0);
}

TEST(WindowTimer, AdvanceUntilStopsAtThePredicate)
{
    VirtualClock clock;
    auto t = clock.createTimer();
    int ticks = 0;
    t->onTick = [&] { ++ticks; };
    t->setInterval(50);
    t->setEnabled(true);
    EXPECT_TRUE(clock.advanceUntil([&] { return ticks == 3; }, 1000));
    EXPECT_EQ(clock.now(), 150);
    EXPECT_FALSE(clock.advanceUntil([&] { return ticks == 100; }, 100));
    EXPECT_EQ(clock.now(), 250);
}
