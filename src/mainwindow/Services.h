// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Joystick.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/Sound.h"
#include "platform/WindowTimer.h"

// The services the main window reaches the system through.
struct Services {
    platform::TimerClock& clock;
    platform::SoundPlayer& sound;
    platform::MessageBox& messages;
    platform::Joystick& joystick;
    platform::RandomSource& random;
};
