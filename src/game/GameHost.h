// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>

// The menu items whose check marks are the game's mode and input choices.
enum class MenuItem {
    menu1JoueurRouge,
    menu1JoueurNoir,
    menu2joueur,
    menuJoy1Noir,
    menuClavierNoir,
    menuJoy2Rouge,
    menuClavierRouge,
};

// What the game needs of its main window. Form1 implements it with widgets; tests use a
// recording fake when the order of effects matters.
class GameHost {
public:
    virtual ~GameHost() = default;

    virtual bool checked(MenuItem item) const = 0;
    virtual void setLabelscore1(const QString& text) = 0;
    virtual void setLabelscore2(const QString& text) = 0;
    virtual void setStartCaption(const QString& text) = 0;
    virtual void setStartEnabled(bool on) = 0;
    virtual void setCaption(const QString& text) = 0;
    virtual void setFormEnabled(bool on) = 0;
    // separReseau and menueffacer, shown and hidden together.
    virtual void setTopScoreItemsVisible(bool on) = 0;
    virtual void setFrameLeft(int px) = 0;
    virtual QSize clientSize() const = 0;
    virtual bool minimized() const = 0;
    // Modeless: the caller goes on at once.
    virtual void showRecordEntry() = 0;
    // Modal, OK only, the application's title as caption; timers keep ticking under it.
    virtual void showWinner(const QString& text) = 0;
    // The joystick items and the joystick settings item are only ever enabled.
    virtual void enableJoystickItems(int joystickId) = 0;
    virtual void showHelp() = 0;
    // Saves the settings and ends the program.
    virtual void saveAndQuit() = 0;
    // Puts on the screen at once what the game has changed: a cue holds the game next, and
    // what changed before it is on screen while it sounds.
    virtual void showChangesNow() = 0;
};
