// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Joystick.h"

#include <Qt>

namespace input {

// Virtual-key codes the game reads.
namespace vk {
constexpr int Esc = 27;
constexpr int Left = 37, Up = 38, Right = 39, Down = 40;
constexpr int Q = 81, S = 83, W = 87, Z = 90;
constexpr int Numpad2 = 98, Numpad4 = 100, Numpad6 = 102, Numpad8 = 104;
constexpr int F1 = 112;
} // namespace vk

// Direction codes: 1 down, 2 right, 3 up, 4 left.
int blackKeyRule(int lastKey, int dir);
int redKeyRule(int lastKey, int dir);
// The stick of the record as it stands: the last of the four threshold tests that holds wins.
int joystickRule(const platform::JoyInfo& info, int dir);
// Where the rule turns, on the 0..65535 axes: below kJoyLow up or left, from kJoyHigh on
// down or right (whole thousands: Int(x / 1000) < 15, > 45).
constexpr int kJoyLow = 15000, kJoyHigh = 46000;

// A Qt key event as a desktop virtual-key code, so that Caps Lock changes nothing and the
// keypad gives its own codes with Num Lock on and the arrows' codes with it off. A letter of
// a layout without Latin letters (Russian, Greek...) counts as the Latin letter that the same
// physical key gives on the US layout, found from the key's scan code (an XKB keycode). At
// the places of Q, W, S and Z any key but a Latin letter steers so: Greek puts ";" where Q
// is, Hebrew "/" and "'" where Q and W are. (So on Dvorak the punctuation there steers too,
// beside the layout's own Q, W, S and Z.)
int toVirtualKey(int qtKey, Qt::KeyboardModifiers mods, quint32 scanCode = 0);

} // namespace input
