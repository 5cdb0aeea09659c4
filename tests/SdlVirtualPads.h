// SPDX-License-Identifier: GPL-3.0-or-later
// SDL's virtual joysticks and game controllers for the tests, and the fixture that keeps the
// desk's own pads out of them.
#pragma once

#include "platform/SdlJoystick.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

using platform::JoyInfo;
using platform::SdlJoystick;


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

inline JoyInfo sentinel()
{
    JoyInfo info;
    // Every byte, padding included, so that a field the reader leaves alone shows.
    std::memset(static_cast<void*>(&info), 0xA5, sizeof info);
    return info;
}

inline bool same(const JoyInfo& a, const JoyInfo& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline JoyInfo freshRecord()
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
