// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace platform {

// The joystick record of the multimedia joystick service: 13 little 32-bit fields, 52 bytes.
struct JoyInfo {
    std::uint32_t dwSize = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwXpos = 0;
    std::uint32_t dwYpos = 0;
    std::uint32_t dwZpos = 0;
    std::uint32_t dwRpos = 0;
    std::uint32_t dwUpos = 0;
    std::uint32_t dwVpos = 0;
    std::uint32_t dwButtons = 0;
    std::uint32_t dwButtonNumber = 0;
    std::uint32_t dwPOV = 0;
    std::uint32_t dwReserved1 = 0;
    std::uint32_t dwReserved2 = 0;
};
static_assert(sizeof(JoyInfo) == 52);

constexpr std::uint32_t kJoyReturnAll = 255;

// joyGetPosEx: 0 when joystick `id` (0 or 1) answered and filled `info`; non-zero, leaving
// `info` as it was, when it is absent or failed.
class Joystick {
public:
    virtual ~Joystick() = default;
    virtual int joyGetPosEx(int id, JoyInfo& info) = 0;

    // What the pad window shows and chooses. The name of the pad in slot `id` (0 black,
    // 1 red) as the system knows it, empty for an empty slot.
    virtual QString slotName(int id) = 0;
    // Every connected pad by name, in the system's order.
    virtual QStringList connectedPads() = 0;
    // Puts connected pad `index` in slot `id` for the rest of the run; a pad it displaces
    // from the other slot moves to this slot's old pad.
    virtual void assignSlot(int id, int index) = 0;
};

} // namespace platform
