// SPDX-License-Identifier: GPL-3.0-or-later
// SdlJoystick against SDL's virtual joysticks: no device, no window, no waiting.
#include "platform/SdlJoystick.h"
#include "windows/FormManette.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

using platform::JoyInfo;
using platform::SdlJoystick;

namespace {

constexpr Uint16 kVendor = 0x1209; // the test devices' ids: the only ones SDL may report
constexpr Uint16 kProduct = 0x7e57;

// A virtual device, attached on construction, pulled out by unplug() or on destruction.
class VirtualDevice {
public:
    VirtualDevice(SDL_JoystickType type, int axes, int buttons, int hats, const char* name = "Vorlin test stick")
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = static_cast<Uint16>(type);
        desc.naxes = static_cast<Uint16>(axes);
        desc.nbuttons = static_cast<Uint16>(buttons);
        desc.nhats = static_cast<Uint16>(hats);
        desc.vendor_id = kVendor;
        desc.product_id = kProduct;
        desc.name = name;
        index_ = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index_, 0) << SDL_GetError();
        handle_ = SDL_JoystickOpen(index_);
        EXPECT_NE(handle_, nullptr) << SDL_GetError();
    }
    static VirtualDevice stick(int axes, int buttons, int hats = 0)
    {
        return {SDL_JOYSTICK_TYPE_UNKNOWN, axes, buttons, hats};
    }
    VirtualDevice(VirtualDevice&& o) noexcept : index_(o.index_), handle_(o.handle_) { o.handle_ = nullptr; }
    VirtualDevice(const VirtualDevice&) = delete;
    VirtualDevice& operator=(const VirtualDevice&) = delete;
    ~VirtualDevice() { unplug(); }

    void unplug()
    {
        if (!handle_)
            return;
        const SDL_JoystickID self = SDL_JoystickInstanceID(handle_);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == self) {
                EXPECT_EQ(SDL_JoystickDetachVirtual(i), 0) << SDL_GetError();
            }
        SDL_JoystickClose(handle_);
        handle_ = nullptr;
    }
    // SDL takes these in at the next update, which every read runs.
    void axis(int i, Sint16 v) { EXPECT_EQ(SDL_JoystickSetVirtualAxis(handle_, i, v), 0) << SDL_GetError(); }
    void button(int i, bool down) { EXPECT_EQ(SDL_JoystickSetVirtualButton(handle_, i, down), 0) << SDL_GetError(); }
    void hat(Uint8 v) { EXPECT_EQ(SDL_JoystickSetVirtualHat(handle_, 0, v), 0) << SDL_GetError(); }

    int index() const { return index_; }

private:
    int index_ = -1;
    SDL_Joystick* handle_ = nullptr;
};

// A virtual game controller, worked by role: the raw input behind each role comes from the
// mapping SDL applies, so the tests do not depend on which raw index SDL gives to A or B.
class VirtualPad {
public:
    VirtualPad() : dev_(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0, "Vorlin test pad")
    {
        EXPECT_TRUE(SDL_IsGameController(dev_.index()));
        pad_ = SDL_GameControllerOpen(dev_.index());
        EXPECT_NE(pad_, nullptr) << SDL_GetError();
    }
    ~VirtualPad()
    {
        if (pad_)
            SDL_GameControllerClose(pad_);
    }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void press(SDL_GameControllerButton b, bool down = true)
    {
        const SDL_GameControllerButtonBind bind = SDL_GameControllerGetBindForButton(pad_, b);
        ASSERT_EQ(bind.bindType, SDL_CONTROLLER_BINDTYPE_BUTTON);
        dev_.button(bind.value.button, down);
    }
    void push(SDL_GameControllerAxis a, Sint16 v)
    {
        const SDL_GameControllerButtonBind bind = SDL_GameControllerGetBindForAxis(pad_, a);
        ASSERT_EQ(bind.bindType, SDL_CONTROLLER_BINDTYPE_AXIS);
        dev_.axis(bind.value.axis, v);
    }
    VirtualDevice& raw() { return dev_; }

private:
    VirtualDevice dev_;
    SDL_GameController* pad_ = nullptr;
};

JoyInfo sentinel()
{
    JoyInfo info;
    // Every byte, padding included, so that a field the reader leaves alone shows.
    std::memset(static_cast<void*>(&info), 0xA5, sizeof info);
    return info;
}

bool same(const JoyInfo& a, const JoyInfo& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

JoyInfo freshRecord()
{
    JoyInfo info;
    info.dwSize = sizeof(JoyInfo);
    info.dwFlags = platform::kJoyReturnAll;
    return info;
}

class SdlJoystickTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Keep the desk's own pads out of the test: HIDAPI off, and every device but the
        // test's ids ignored (virtual devices are not filtered).
        SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
        const std::string only = "0x" + hex(kVendor) + "/0x" + hex(kProduct);
        SDL_SetHint(SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT, only.c_str());
    }
    void SetUp() override
    {
        // The test's own hold on the subsystem keeps its virtual devices alive across the
        // SdlJoystick objects it makes and drops.
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
        sdlUp_ = true;
        if (SDL_NumJoysticks() != 0)
            GTEST_SKIP() << "a real joystick is visible to SDL; these tests need none";
    }
    void TearDown() override
    {
        if (sdlUp_)
            SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    }

    // Reads `id`, expecting success.
    static JoyInfo read(SdlJoystick& joy, int id)
    {
        JoyInfo info = freshRecord();
        EXPECT_EQ(joy.joyGetPosEx(id, info), 0) << "joystick " << id;
        return info;
    }

private:
    static std::string hex(Uint16 v)
    {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04x", v);
        return buf;
    }
    bool sdlUp_ = false;
};

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

// ---- a whole game from a virtual joystick -----------------------------------------------

#include "Fakes.h"
#include "mainwindow/Form1.h"
#include "support/VirtualClock.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>

// Joystick 2 starts the game with its button and steers red; black stays on the keyboard.
TEST_F(SdlJoystickTest, AJoystickStartsAndSteersAGame)
{
    Log log;
    VirtualClock clock;
    FakeSound sound(log);
    FakeMessageBox messages(log);
    FakeRandom random;
    ModuleNom rec;
    SdlJoystick joystick;
    VirtualDevice first = VirtualDevice::stick(2, 2);
    VirtualDevice second = VirtualDevice::stick(2, 2);
    for (VirtualDevice* d : {&first, &second}) {
        d->axis(0, 0);
        d->axis(1, 0);
    }
    Form1 form({clock, sound, messages, joystick, random}, rec);
    form.Form_Load();
    EXPECT_FALSE(form.menuJoy2Rouge->isEnabled());

    clock.advance(50);
    ASSERT_TRUE(form.menuJoy1Noir->isEnabled()) << "the poll found the joysticks";
    ASSERT_TRUE(form.menuJoy2Rouge->isEnabled());
    EXPECT_TRUE(form.menuReglageJoy->isEnabled());
    form.menuJoy2Rouge->trigger();

    second.button(1, true);
    clock.advance(50);
    second.button(1, false);
    EXPECT_TRUE(form.game.TimerCdeStart->enabled()) << "button 2 of joystick 2 pressed Start";
    clock.advanceUntil([&] { return form.game.CteRebour == 0; }, 1000);

    second.axis(1, -32768); // stick up
    second.axis(0, 0);
    clock.advance(100);
    EXPECT_EQ(form.game.Dir2, 3);
    QTest::keyClick(&form, Qt::Key_W);
    clock.advance(100);
    EXPECT_EQ(form.game.Dir1, 1) << "the keyboard still steers black";
    EXPECT_EQ(form.game.Dir2, 3);
}

// The pad window shows what the game reads of each slot: the pad's name, its stick, a pressed
// button; it follows a pad pulled out and another plugged in; with more pads than slots the
// player chooses, and the chosen pad is the one the game then reads for black.
TEST_F(SdlJoystickTest, PadWindowShowsWhatTheGameReads)
{
    VirtualClock clock;
    SdlJoystick joystick;
    VirtualDevice first(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0, "Vorlin pad A");
    FormManette window(joystick, clock);
    clock.advance(50);
    EXPECT_EQ(window.padName[0]->text(), "Vorlin pad A");
    EXPECT_EQ(window.padName[1]->text(), "Aucune manette");

    first.axis(0, 32767);
    first.button(1, true);
    clock.advance(50);
    EXPECT_GE(window.stick[0]->markerCentre().x(), window.stick[0]->width() - 2) << "the marker follows the stick";
    EXPECT_EQ(window.buttons[0]->text(), "Boutons : 2");

    first.unplug();
    clock.advance(50);
    EXPECT_EQ(window.padName[0]->text(), "Aucune manette");
    VirtualDevice second(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0, "Vorlin pad B");
    VirtualDevice third(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0, "Vorlin pad C");
    VirtualDevice fourth(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0, "Vorlin pad D");
    clock.advance(50);
    EXPECT_EQ(joystick.slotName(0), "Vorlin pad B");
    ASSERT_TRUE(window.chooser[0]->isVisibleTo(&window)) << "three pads for two slots: a choice";

    const int d = joystick.connectedPads().indexOf(QStringLiteral("Vorlin pad D"));
    ASSERT_GE(d, 0);
    emit window.chooser[0]->activated(d);
    fourth.axis(0, -32768);
    JoyInfo info;
    ASSERT_EQ(joystick.joyGetPosEx(0, info), 0);
    EXPECT_EQ(info.dwXpos, 0u) << "black now reads pad D";
    EXPECT_EQ(window.padName[0]->text(), "Vorlin pad D");
}
