#pragma once

#include "platform/Joystick.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Random.h"
#include "platform/Sound.h"
#include "platform/WindowTimer.h"

// The services the main window reaches the system through.
struct Services {
    platform::TimerClock& clock;
    platform::SoundPlayer& sound;
    platform::MessageBox& messages;
    platform::Joystick& joystick;
    platform::ProcessLauncher& processes;
    platform::RandomSource& random;
};
