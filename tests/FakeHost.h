// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game's window, recorded into the same log as the seams.
#include "Fakes.h"
#include "game/GameHost.h"

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
