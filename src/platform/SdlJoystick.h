// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Joystick.h"

#include <array>
#include <cstdint>

// SDL's own tags, so that users of this header need not see SDL.
struct _SDL_Joystick;
struct _SDL_GameController;

namespace platform {
namespace sdl {
struct Api;
}

// ModuleJoy's joyGetPosEx over SDL2's joystick and game-controller API.
//
// Identifier 0 is the first device SDL finds and 1 the second. A device plugged in while the
// game runs takes the lowest free identifier at the next read; one that is pulled out frees
// its own identifier and leaves the other where it is, so red's joystick does not start
// steering black when black's is unplugged.
//
// A device SDL knows as a game controller reads by role: left stick and D-pad give x and y,
// A and B are buttons 1 and 2. Any other joystick reads by index: axes 0..5 are x, y, z, r,
// u, v, buttons 0..31 are the button bits, hat 0 is the point of view.
//
// Each read pumps SDL's joystick state and looks for new devices, opening them then; it
// never blocks. SDL is loaded and its joystick subsystem started by the first reads, not by
// the constructor, so nothing of it runs before the first window shows. One thread only:
// the UI thread.
class SdlJoystick final : public Joystick {
public:
    SdlJoystick();
    ~SdlJoystick() override;
    SdlJoystick(const SdlJoystick&) = delete;
    SdlJoystick& operator=(const SdlJoystick&) = delete;

    int joyGetPosEx(int id, JoyInfo& info) override;
    QString slotName(int id) override;
    QStringList connectedPads() override;
    void assignSlot(int id, int index) override;

private:
    struct Device {
        std::int32_t instance = -1;
        _SDL_Joystick* stick = nullptr;
        _SDL_GameController* pad = nullptr; // also set when SDL maps the device as a game controller
    };

    bool start();
    void refresh();
    void open(int deviceIndex, Device& into);
    static void close(const sdl::Api& S, Device& d);

    const sdl::Api* sdl_ = nullptr;
    bool up_ = false;
    bool failed_ = false;
    std::array<Device, 2> devices_{};
};

} // namespace platform
