// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Recording fakes of the platform's seams: every effect goes into one log, so a test can check
// the order in which things happened. FakeHost.h fakes the game's window, FakeServices.h
// bundles these for a main window.
#include "platform/Joystick.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "platform/WindowTimer.h"

#include <QFileInfo>
#include <deque>
#include <functional>
#include <string>
#include <vector>

using Log = std::vector<std::string>;

struct FakeSound final : platform::SoundPlayer {
    explicit FakeSound(Log& into) : log(into) {}
    void playSync(const std::string& path) override
    {
        log.push_back("sound " + QFileInfo(QString::fromStdString(path)).fileName().toStdString());
        paths.push_back(path);
        if (during)
            during();
    }
    Log& log;
    std::vector<std::string> paths;
    std::function<void()> during;
};

struct FakeMessageBox final : platform::MessageBox {
    explicit FakeMessageBox(Log& into) : log(into) {}
    Answer show(const Request& r) override
    {
        log.push_back("box " + r.text.toStdString());
        requests.push_back(r);
        if (whileOpen)
            whileOpen();
        if (answers.empty())
            return Answer::Ok;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    Log& log;
    std::vector<Request> requests;
    std::deque<Answer> answers;
    std::function<void()> whileOpen;
};

struct FakeJoystick final : platform::Joystick {
    int joyGetPosEx(int id, platform::JoyInfo& info) override
    {
        if (id < 0 || id > 1 || !present[id])
            return 167;
        info.dwXpos = state[id].dwXpos;
        info.dwYpos = state[id].dwYpos;
        info.dwButtons = state[id].dwButtons;
        return 0;
    }
    QString slotName(int id) override { return present[id] ? QStringLiteral("Fake pad") : QString(); }
    QStringList connectedPads() override { return {}; }
    void assignSlot(int, int) override {}
    bool present[2] = {false, false};
    platform::JoyInfo state[2];
};

struct FakeShell final : platform::Shell {
    void open(const QString& a) override { opened << a; }
    QStringList opened;
};

// Draws the values it is given, in turn; 0 once they run out.
struct FakeRandom final : platform::RandomSource {
    int below(int n) override
    {
        if (draws.empty())
            return 0;
        const int v = draws.front() % n;
        draws.pop_front();
        return v;
    }
    std::deque<int> draws;
};
