// SPDX-License-Identifier: GPL-3.0-or-later
// A process of its own: the library is chosen before the first load, and loaded only once.
#include "platform/SdlJoystick.h"
#include "platform/SdlLib.h"
#include "platform/Sound.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <string>

namespace {

int occurrences(const std::string& text, const std::string& word)
{
    int n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++n;
    return n;
}

} // namespace

// On a system without SDL the package's dependency cannot help: the game must still play,
// silent and without pads, and say why exactly once however often its cues and its joystick
// poll ask for the library.
TEST(SdlLib, AMissingLibraryIsSaidOnceAndTheGameGoesOn)
{
    platform::sdl::setLibraryForTesting("libvorlin-no-such-sdl.so.0");
    testing::internal::CaptureStderr();

    platform::SdlJoystick joystick;
    platform::JoyInfo info;
    info.dwSize = sizeof info;
    info.dwFlags = platform::kJoyReturnAll;
    joystick.joyGetPosEx(0, info); // starts the load in the background, as the poll does
    platform::SdlSoundPlayer player;
    QElapsedTimer held;
    held.start();
    player.playSync(VORLIN_SOURCE_DIR "/Vorlin107_rsc/Beam.wav"); // a 600 ms wave
    player.playSync(VORLIN_SOURCE_DIR "/Vorlin107_rsc/bark.wav");
    const qint64 heldMs = held.elapsed();
    const int status = joystick.joyGetPosEx(0, info);
    joystick.joyGetPosEx(1, info);
    const QStringList pads = joystick.connectedPads();

    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(occurrences(err, "no sound and no joysticks"), 1) << err;
    EXPECT_NE(err.find("libvorlin-no-such-sdl.so.0"), std::string::npos) << err;
    EXPECT_EQ(platform::sdl::api(), nullptr);
    EXPECT_LT(heldMs, 100); // no cue holds the game
    EXPECT_NE(status, 0);
    EXPECT_TRUE(pads.isEmpty());
}
