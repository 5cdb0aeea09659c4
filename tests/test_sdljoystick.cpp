// SPDX-License-Identifier: GPL-3.0-or-later
// SdlJoystick against SDL's virtual joysticks: no device, no window, no waiting.
#include "SdlVirtualPads.h"

namespace {
// With no joystick the menu items must stay disabled, and the previous read must survive
// in the record: the game steers from it.
TEST_F(SdlJoystickTest, AbsentJoysticksFailAndLeaveTheRecordAlone)
{
    SdlJoystick joy;
    for (int id : {0, 1, 2, -1, 16}) {
        JoyInfo info = sentinel();
        EXPECT_NE(joy.joyGetPosEx(id, info), 0) << "id " << id;
        EXPECT_TRUE(same(info, sentinel())) << "id " << id;
    }
}

// The steering thresholds sit at 15000 and 46000 of the platform's range: the map must be
// exact at both ends and put SDL's rest value in the middle.
TEST_F(SdlJoystickTest, AxesMapLinearlyOntoZeroTo65535)
{
    VirtualDevice dev = VirtualDevice::stick(2, 2);
    SdlJoystick joy;
    struct Case { Sint16 sdl; std::uint32_t pos; };
    for (const Case c : {Case{-32768, 0}, Case{-1, 32767}, Case{0, 32768}, Case{32767, 65535},
                         Case{-17768, 15000}, Case{13232, 46000}}) {
        dev.axis(0, c.sdl);
        dev.axis(1, c.sdl);
        const JoyInfo info = read(joy, 0);
        EXPECT_EQ(info.dwXpos, c.pos) << "SDL value " << c.sdl;
        EXPECT_EQ(info.dwYpos, c.pos) << "SDL value " << c.sdl;
    }
}

// Each SDL axis lands in its own field, x first: a swap would steer sideways.
TEST_F(SdlJoystickTest, EachAxisHasItsField)
{
    VirtualDevice dev = VirtualDevice::stick(6, 0);
    const Sint16 v[6] = {-32768, 32767, -1000, 1000, -20000, 20000};
    for (int i = 0; i < 6; ++i)
        dev.axis(i, v[i]);
    SdlJoystick joy;
    const JoyInfo info = read(joy, 0);
    EXPECT_EQ(info.dwXpos, 0u);
    EXPECT_EQ(info.dwYpos, 65535u);
    EXPECT_EQ(info.dwZpos, 31768u);
    EXPECT_EQ(info.dwRpos, 33768u);
    EXPECT_EQ(info.dwUpos, 12768u);
    EXPECT_EQ(info.dwVpos, 52768u);
}

// A box of buttons alone reads as a centred stick, so it never steers the trail.
TEST_F(SdlJoystickTest, ButtonsOnlyDeviceReadsCentred)
{
    VirtualDevice dev = VirtualDevice::stick(0, 2);
    dev.button(1, true);
    SdlJoystick joy;
    const JoyInfo info = read(joy, 0);
    EXPECT_EQ(info.dwXpos, 32768u);
    EXPECT_EQ(info.dwYpos, 32768u);
    EXPECT_EQ(info.dwZpos, 0u);
    EXPECT_EQ(info.dwVpos, 0u);
    EXPECT_EQ(info.dwPOV, 0xFFFFu);
    EXPECT_EQ(info.dwButtons, 2u);
}

// Button 1 is bit 0 and button 2 bit 1 (the poll starts a game on either); buttons past the
// 32 bits are not counted.
TEST_F(SdlJoystickTest, ButtonsFillTheBitsAndTheCount)
{
    VirtualDevice dev = VirtualDevice::stick(2, 40);
    SdlJoystick joy;
    EXPECT_EQ(read(joy, 0).dwButtons, 0u);

    dev.button(0, true);
    JoyInfo info = read(joy, 0);
    EXPECT_EQ(info.dwButtons, 1u);
    EXPECT_EQ(info.dwButtonNumber, 1u);

    dev.button(0, false);
    dev.button(1, true);
    info = read(joy, 0);
    EXPECT_EQ(info.dwButtons, 2u);
    EXPECT_EQ(info.dwButtonNumber, 1u);

    dev.button(0, true);
    dev.button(31, true);
    dev.button(35, true);
    info = read(joy, 0);
    EXPECT_EQ(info.dwButtons, 0x80000003u);
    EXPECT_EQ(info.dwButtonNumber, 3u);
}

TEST_F(SdlJoystickTest, HatGivesHundredthsOfDegreesClockwiseFromUp)
{
    VirtualDevice dev = VirtualDevice::stick(2, 2, 1);
    SdlJoystick joy;
    struct Case { Uint8 hat; std::uint32_t pov; };
    for (const Case c : {Case{SDL_HAT_CENTERED, 0xFFFF}, Case{SDL_HAT_UP, 0}, Case{SDL_HAT_RIGHTUP, 4500},
                         Case{SDL_HAT_RIGHT, 9000}, Case{SDL_HAT_RIGHTDOWN, 13500}, Case{SDL_HAT_DOWN, 18000},
                         Case{SDL_HAT_LEFTDOWN, 22500}, Case{SDL_HAT_LEFT, 27000}, Case{SDL_HAT_LEFTUP, 31500}}) {
        dev.hat(c.hat);
        EXPECT_EQ(read(joy, 0).dwPOV, c.pov) << "hat " << int(c.hat);
    }
}

// The game sets size and flags once at start-up and never again.
TEST_F(SdlJoystickTest, SizeAndFlagsStayAsTheCallerSetThem)
{
    VirtualDevice dev = VirtualDevice::stick(2, 2);
    SdlJoystick joy;
    JoyInfo info = sentinel();
    ASSERT_EQ(joy.joyGetPosEx(0, info), 0);
    EXPECT_EQ(info.dwSize, 0xA5A5A5A5u);
    EXPECT_EQ(info.dwFlags, 0xA5A5A5A5u);
    EXPECT_EQ(info.dwXpos, 32768u);
}

// The idle poll finds a joystick plugged in after start-up, and one pulled out fails from
// the next read on, leaving the last values in the record.
TEST_F(SdlJoystickTest, HotplugIsSeenByTheNextRead)
{
    SdlJoystick joy;
    JoyInfo info = sentinel();
    EXPECT_NE(joy.joyGetPosEx(0, info), 0);

    VirtualDevice dev = VirtualDevice::stick(2, 2);
    dev.axis(0, 32767);
    info = read(joy, 0);
    EXPECT_EQ(info.dwXpos, 65535u);

    dev.axis(0, -32768);
    dev.unplug();
    const JoyInfo last = info;
    EXPECT_NE(joy.joyGetPosEx(0, info), 0);
    EXPECT_TRUE(same(info, last));

    VirtualDevice again = VirtualDevice::stick(2, 2);
    again.axis(1, -32768);
    EXPECT_EQ(read(joy, 0).dwYpos, 0u);
}

// Black reads id 0 and red id 1. Pulling out black's joystick must not hand red's to black;
// a joystick plugged in then takes the free id 0.
TEST_F(SdlJoystickTest, TwoJoysticksKeepTheirIdentifiers)
{
    VirtualDevice black = VirtualDevice::stick(2, 2);
    VirtualDevice red = VirtualDevice::stick(2, 2);
    black.axis(0, -32768);
    red.axis(0, 32767);
    SdlJoystick joy;
    EXPECT_EQ(read(joy, 0).dwXpos, 0u);
    EXPECT_EQ(read(joy, 1).dwXpos, 65535u);

    black.unplug();
    JoyInfo info = sentinel();
    EXPECT_NE(joy.joyGetPosEx(0, info), 0);
    EXPECT_EQ(read(joy, 1).dwXpos, 65535u);

    VirtualDevice third = VirtualDevice::stick(2, 2);
    third.axis(1, 32767);
    EXPECT_EQ(read(joy, 0).dwYpos, 65535u);
    EXPECT_EQ(read(joy, 1).dwXpos, 65535u);
}

// A third joystick waits until one of the two leaves, then takes its identifier.
TEST_F(SdlJoystickTest, AThirdJoystickTakesTheFirstFreedIdentifier)
{
    VirtualDevice a = VirtualDevice::stick(2, 2);
    VirtualDevice b = VirtualDevice::stick(2, 2);
    SdlJoystick joy;
    read(joy, 0);
    read(joy, 1);
    VirtualDevice c = VirtualDevice::stick(2, 2);
    c.button(1, true);
    EXPECT_EQ(read(joy, 0).dwButtons, 0u);
    EXPECT_EQ(read(joy, 1).dwButtons, 0u);

    b.unplug();
    EXPECT_EQ(read(joy, 1).dwButtons, 2u);
}

// Nothing drains SDL's event queue in this game: reads must not fill it with joystick events.
TEST_F(SdlJoystickTest, ReadsLeaveNoEventsInSdlsQueue)
{
    SdlJoystick joy;
    VirtualDevice dev = VirtualDevice::stick(2, 2, 1);
    for (int i = 0; i < 100; ++i) {
        dev.axis(0, static_cast<Sint16>(i * 300));
        dev.button(0, i % 2);
        dev.hat(i % 2 ? SDL_HAT_UP : SDL_HAT_CENTERED);
        read(joy, 0);
    }
    dev.unplug();
    JoyInfo info;
    joy.joyGetPosEx(0, info);
    SDL_PumpEvents();
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_JOYAXISMOTION, SDL_CONTROLLERSENSORUPDATE), 0);
}

// On a game controller A and B are buttons 1 and 2 and the left stick steers, wherever
// the pad's mapping puts them among its raw inputs.
TEST_F(SdlJoystickTest, GameControllerReadsByRole)
{
    VirtualDevice dev(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 12, 0, "Vorlin remapped pad");
    char guid[33];
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(dev.index()), guid, sizeof guid);
    const std::string mapping = std::string(guid)
        + ",Vorlin remapped pad,a:b5,b:b7,x:b0,y:b1,leftx:a3,lefty:a2,rightx:a0,righty:a1";
    ASSERT_GE(SDL_GameControllerAddMapping(mapping.c_str()), 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(dev.index()));

    SdlJoystick joy;
    dev.axis(3, -32768);
    dev.axis(2, 32767);
    dev.axis(0, 32767); // right stick: must not steer
    dev.button(5, true);
    JoyInfo info = read(joy, 0);
    EXPECT_EQ(info.dwXpos, 0u);
    EXPECT_EQ(info.dwYpos, 65535u);
    EXPECT_EQ(info.dwUpos, 65535u);
    EXPECT_EQ(info.dwButtons, 1u);

    dev.button(5, false);
    dev.button(7, true);
    dev.button(0, true);
    info = read(joy, 0);
    EXPECT_EQ(info.dwButtons, 0b110u);
    EXPECT_EQ(info.dwButtonNumber, 2u);
}

// The D-pad steers as the stick pushed fully its way, and is the point of view; it is not a
// button, so it cannot start a game from the idle poll.
TEST_F(SdlJoystickTest, GameControllerDpadPushesTheStickFully)
{
    VirtualPad pad;
    SdlJoystick joy;
    pad.push(SDL_CONTROLLER_AXIS_LEFTX, 20000);
    pad.push(SDL_CONTROLLER_AXIS_LEFTY, -20000);
    JoyInfo info = read(joy, 0);
    EXPECT_EQ(info.dwXpos, 52768u);
    EXPECT_EQ(info.dwYpos, 12768u);
    EXPECT_EQ(info.dwPOV, 0xFFFFu);

    pad.press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    info = read(joy, 0);
    EXPECT_EQ(info.dwXpos, 0u);
    EXPECT_EQ(info.dwYpos, 12768u);
    EXPECT_EQ(info.dwPOV, 27000u);
    EXPECT_EQ(info.dwButtons, 0u);

    pad.press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    pad.press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    pad.press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    info = read(joy, 0);
    EXPECT_EQ(info.dwXpos, 65535u);
    EXPECT_EQ(info.dwYpos, 65535u);
    EXPECT_EQ(info.dwPOV, 13500u);

    pad.press(SDL_CONTROLLER_BUTTON_DPAD_UP); // with down: they cancel
    info = read(joy, 0);
    EXPECT_EQ(info.dwYpos, 12768u);
    EXPECT_EQ(info.dwPOV, 9000u);
}

// SDL's standard pad shows its buttons in the order the platform's service gives them.
TEST_F(SdlJoystickTest, GameControllerButtonOrder)
{
    VirtualPad pad;
    SdlJoystick joy;
    const SDL_GameControllerButton order[] = {
        SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y,
        SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
        SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_START};
    for (unsigned bit = 0; bit < std::size(order); ++bit) {
        pad.press(order[bit]);
        EXPECT_EQ(read(joy, 0).dwButtons, 1u << bit) << "bit " << bit;
        pad.press(order[bit], false);
    }
}

// Pads and plain joysticks mix: each keeps its own way of reading on its own identifier.
TEST_F(SdlJoystickTest, PadAndJoystickSideBySide)
{
    VirtualPad pad;
    VirtualDevice stick = VirtualDevice::stick(2, 2);
    pad.press(SDL_CONTROLLER_BUTTON_B);
    stick.button(0, true);
    SdlJoystick joy;
    EXPECT_EQ(read(joy, 0).dwButtons, 2u);
    EXPECT_EQ(read(joy, 1).dwButtons, 1u);
}

} // namespace
