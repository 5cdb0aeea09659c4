// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/GameMode.h"
#include "game/GameHost.h"
#include "game/Playfield.h"
#include "platform/Joystick.h"
#include "platform/Random.h"
#include "platform/Sound.h"
#include "platform/WindowTimer.h"
#include "records/ModuleNom.h"

#include <memory>

// The game state of the main window and its handlers: the trails, the start sequence,
// the end of a game and the re-arming between games.
class Game {
public:
    static constexpr units::Colour kBackground = units::kPlayfieldColour;
    static constexpr units::Colour kNoir = units::kNoirColour;
    static constexpr units::Colour kRouge = units::kRougeColour;
    static constexpr int kMatchPoints = 10;

    using Mode = GameMode;

    Game(GameHost& host, platform::TimerClock& clock, platform::SoundPlayer& sound,
         platform::Joystick& joystick, ModuleNom& records);

    // Draws the heads of the active trails at their places.
    void Vorlin();
    // Closes a game and re-arms the window for the next one.
    void restart();
    // Zeroes both counters, wipes the playfield, re-arms.
    void Raz();

    // The game half of the window's commands; the window sets its check marks and score
    // panel, then makes one of these calls.
    // What start-up sets before the first mode command: the joystick record, which trail
    // goes first, the step period.
    void prepare(platform::RandomSource& random);
    // A new mode: the step timers of the trails that play, then the field wiped and re-armed.
    void applyMode(Mode mode);
    // A new step period, put on the timers by re-applying the current mode.
    void setStepInterval(int ms);
    // A new band width and step length (2, 5 or 10 pixels).
    void setGrid(int drawWidth);
    // After the client area changed: the field laid out again and the heads redrawn.
    void redrawAfterResize();
    Mode mode() const;

    void CdeStart_Click();
    void TimerCdeStart_Tick();
    void TimerDebut_Tick();
    void TimerVorlin1_Tick();
    void TimerVorlin2_Tick();
    void TimerTestJoy_Tick();
    void Form_KeyDown(int keyCode);

    Playfield PictureVorlin;
    std::unique_ptr<platform::WindowTimer> TimerTestJoy;
    std::unique_ptr<platform::WindowTimer> TimerCdeStart;
    std::unique_ptr<platform::WindowTimer> TimerDebut;
    std::unique_ptr<platform::WindowTimer> TimerVorlin2;
    std::unique_ptr<platform::WindowTimer> TimerVorlin1;

    // The window-level state. Counters are int: a Supermini game on a large screen has more
    // places than a 16-bit counter holds.
    int X1Off = 0, Y1Off = 0, X1 = 0, Y1 = 0;
    int X2Off = 0, Y2Off = 0, X2 = 0, Y2 = 0;
    int LastKey = 0;
    int Dir1 = 2, Dir2 = 4;
    int Score1 = 0, Score2 = 0;
    int CteRebour = 0;
    int FirstTrail = 0;
    int CenterX = 0;
    int StepInterval = 100;
    int TotalCells = 0;
    platform::JoyInfo JoyInfo;

private:
    struct Trail;
    void step(const Trail& t);
    // Shows what changed, then plays the cue to its end.
    void playCue(const QString& cue);
    void showTitle();
    // The field's size, the number of places and the start places, from the client area.
    void layOutField();

    GameHost& host_;
    platform::SoundPlayer& sound_;
    platform::Joystick& joystick_;
    ModuleNom& rec_;
};
