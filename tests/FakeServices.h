// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Fakes.h"
#include "mainwindow/Services.h"
#include "records/ModuleNom.h"
#include "support/VirtualClock.h"

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
