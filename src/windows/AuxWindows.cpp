// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/AuxWindows.h"

#include "look/WindowLook.h"
#include "windows/FormAbout.h"
#include "windows/FormAide.h"
#include "windows/FormManette.h"
#include "windows/FormVersionHistory.h"

AuxWindows::AuxWindows(QWidget* mainWindow, AniGif& aniGif, platform::Shell& shell, platform::Joystick& joystick,
                       platform::TimerClock& clock)
    : main_(mainWindow), aniGif_(aniGif), shell_(shell), joystick_(joystick), clock_(clock)
{
}

AuxWindows::~AuxWindows()
{
    delete about.data();
    delete help.data();
    delete history.data();
    delete pads.data();
}

void AuxWindows::showHelp()
{
    if (!help)
        help = new FormAide(aniGif_);
    // Owned, as on X11 where Qt makes it transient for the group: never behind the main
    // window, never in the task bar.
    look::bringForward(help, main_);
}

void AuxWindows::showAbout()
{
    if (!about) {
        about = new FormAbout(aniGif_, shell_, main_);
        about->onVersionHistory = [this] { showVersionHistory(); };
    }
    look::bringForward(about, main_);
}

void AuxWindows::showVersionHistory()
{
    if (!history) {
        history = new FormVersionHistory;
        if (main_)
            history->setWindowIcon(main_->windowIcon());
    }
    // Owned by the main window, so it never falls behind it, but not by About: the two are
    // side by side, and a click brings either in front of the other.
    look::bringForward(history, main_);
}

void AuxWindows::showPadSettings()
{
    if (!pads)
        pads = new FormManette(joystick_, clock_);
    look::bringForward(pads, main_);
}
