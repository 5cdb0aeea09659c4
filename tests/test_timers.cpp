// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowTimer.h"
#include "support/VirtualClock.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>
#include <memory>
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

// The order the game's rules rest on, on the real event loop: a shorter timer enabled later
// fires first, and of two with one interval the one enabled first fires first, in every period.
// No tick comes before its period has run out.
TEST(QtTimerClock, FiresByPeriodEndThenByEnablingOrder)
{
    platform::QtTimerClock clock;
    QEventLoop loop;
    QElapsedTimer since;
    std::string firsts, equals;
    std::map<char, qint64> firstNs;
    std::map<char, std::unique_ptr<platform::WindowTimer>> timers;
    const std::map<char, int> intervalMs{{'c', 60}, {'a', 20}, {'b', 20}, {'q', 10}};
    for (const char name : std::string("cabq")) {
        auto& t = timers[name];
        t = clock.createTimer();
        t->setInterval(intervalMs.at(name));
        t->onTick = [&, name] {
            if (!firstNs.count(name)) {
                firstNs[name] = since.nsecsElapsed();
                firsts += name;
            }
            if (name == 'a' || name == 'b')
                equals += name;
            if (name == 'q' || name == 'c' || equals.size() >= 6)
                timers[name]->setEnabled(false);
            if (firsts.size() == 4 && equals.size() >= 6)
                loop.quit();
        };
    }
    since.start();
    for (const char name : std::string("cabq"))
        timers[name]->setEnabled(true);
    // Only against a hang: the ticks are due within 60 ms.
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();

    EXPECT_EQ(firsts, "qabc");
    EXPECT_EQ(equals.substr(0, 6), "ababab");
    for (const auto& [name, ns] : firstNs)
        EXPECT_GE(ns, intervalMs.at(name) * 1'000'000LL) << name;
}
