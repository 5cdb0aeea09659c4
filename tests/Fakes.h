// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every fake of the tests: recording fakes of the game's seams: every effect goes into one log, so a test can check
// the order in which things happened.
#include "game/GameHost.h"
#include "platform/Joystick.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "platform/WindowTimer.h"
#include "records/ModuleNom.h"
#include "mainwindow/Services.h"
#include "support/VirtualClock.h"

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

struct FakeHost final : GameHost {
    explicit FakeHost(Log& into) : log(into) {}

    bool checked(MenuItem item) const override
    {
        switch (item) {
        case MenuItem::menu1JoueurRouge: return mode == 2;
        case MenuItem::menu1JoueurNoir: return mode == 1;
        case MenuItem::menu2joueur: return mode == 3;
        case MenuItem::menuJoy1Noir: return joy1;
        case MenuItem::menuClavierNoir: return !joy1;
        case MenuItem::menuJoy2Rouge: return joy2;
        case MenuItem::menuClavierRouge: return !joy2;
        }
        return false;
    }
    void setLabelscore1(const QString& t) override { label1 = t; }
    void setLabelscore2(const QString& t) override { label2 = t; }
    void setStartCaption(const QString& t) override
    {
        startCaption = t;
        log.push_back("caption " + t.toStdString());
    }
    void setStartEnabled(bool on) override { startEnabled = on; }
    void setCaption(const QString& t) override { caption = t; }
    void setFormEnabled(bool on) override { formEnabled = on; }
    void setTopScoreItemsVisible(bool on) override { topScoreItems = on; }
    void setFrameLeft(int px) override { frameLeft = px; }
    QSize clientSize() const override { return client; }
    bool minimized() const override { return isMinimized; }
    void showRecordEntry() override { log.push_back("record entry"); }
    void showWinner(const QString& t) override
    {
        log.push_back("winner " + t.toStdString() + " l1=" + label1.toStdString() + " l2=" + label2.toStdString());
        if (whileWinnerOpen)
            whileWinnerOpen();
    }
    void enableJoystickItems(int id) override { log.push_back("joystick items " + std::to_string(id)); }
    void showHelp() override { log.push_back("help"); }
    void saveAndQuit() override { log.push_back("save and quit"); }
    // What a cue that follows holds on the screen.
    void showChangesNow() override
    {
        log.push_back("shown " + startCaption.toStdString() + (startEnabled ? "" : " (disabled)") +
                      " l1=" + label1.toStdString() + " l2=" + label2.toStdString());
    }

    Log& log;
    int mode = 3;
    bool joy1 = false, joy2 = false;
    QString label1, label2, startCaption, caption;
    bool startEnabled = true, formEnabled = true, topScoreItems = false, isMinimized = false;
    int frameLeft = 0;
    QSize client{496, 340};
    std::function<void()> whileWinnerOpen;
};

// Everything a main window needs, faked, with time on a virtual clock.
struct FakeServices {
    Log log;
    VirtualClock clock;
    FakeSound sound{log};
    FakeMessageBox messages{log};
    FakeJoystick joystick;
    FakeRandom random;
    ModuleNom rec;

    Services services() { return {clock, sound, messages, joystick, random}; }
};
