// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>

class AniGif;
class FormAbout;
class FormAide;
class FormManette;
class FormVersionHistory;
class QWidget;
namespace platform {
class Joystick;
class Shell;
class TimerClock;
} // namespace platform

// Creates the secondary windows on first use, one of each at a time.
class AuxWindows {
public:
    AuxWindows(QWidget* mainWindow, AniGif& aniGif, platform::Shell& shell, platform::Joystick& joystick,
               platform::TimerClock& clock);
    ~AuxWindows();

    void showHelp();
    // The caller has already disabled the main window.
    void showAbout();
    // Modeless, beside About; kept above the main window.
    void showVersionHistory();
    void showPadSettings();

    QPointer<FormAide> help;
    QPointer<FormAbout> about;
    QPointer<FormVersionHistory> history;
    QPointer<FormManette> pads;

private:
    QWidget* main_;
    AniGif& aniGif_;
    platform::Shell& shell_;
    platform::Joystick& joystick_;
    platform::TimerClock& clock_;
};
