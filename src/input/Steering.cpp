// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/Steering.h"

#include <QChar>
#include <cmath>

namespace input {

int blackKeyRule(int k, int dir)
{
    if (k == vk::W) dir = 1;
    if (k == vk::S) dir = 2;
    if (k == vk::Z) dir = 3;
    if (k == vk::Q) dir = 4;
    return dir;
}

int redKeyRule(int k, int dir)
{
    if (k == vk::Down || k == vk::Numpad2) dir = 1;
    if (k == vk::Right || k == vk::Numpad6) dir = 2;
    if (k == vk::Up || k == vk::Numpad8) dir = 3;
    if (k == vk::Left || k == vk::Numpad4) dir = 4;
    return dir;
}

int joystickRule(const platform::JoyInfo& info, int dir)
{
    const double y = std::floor(info.dwYpos / 1000.0);
    const double x = std::floor(info.dwXpos / 1000.0);
    if (y > 45) dir = 1;
    if (x > 45) dir = 2;
    if (y < 15) dir = 3;
    if (x < 15) dir = 4;
    return dir;
}

namespace {

// The letter rows of the US layout by XKB keycode (evdev code + 8): 24-33, 38-46, 52-58.
int usLetter(quint32 scanCode)
{
    static constexpr char kTop[] = "QWERTYUIOP", kHome[] = "ASDFGHJKL", kBottom[] = "ZXCVBNM";
    if (scanCode >= 24 && scanCode <= 33)
        return kTop[scanCode - 24];
    if (scanCode >= 38 && scanCode <= 46)
        return kHome[scanCode - 38];
    if (scanCode >= 52 && scanCode <= 58)
        return kBottom[scanCode - 52];
    return 0;
}

// The places of the black trail's keys, Q, W, S and Z on the US layout, by XKB keycode.
bool steeringPlace(quint32 scanCode)
{
    return scanCode == 24 || scanCode == 25 || scanCode == 39 || scanCode == 52;
}

bool latinLetter(int key)
{
    return key <= 0xFFFF && QChar(char16_t(key)).isLetter() && QChar(char16_t(key)).script() == QChar::Script_Latin;
}

} // namespace

int toVirtualKey(int key, Qt::KeyboardModifiers mods, quint32 scanCode)
{
    // A non-Latin letter anywhere in the letter rows; and at the black trail's places any
    // symbol but a Latin letter, since a Greek or Hebrew layout puts punctuation there.
    if (const int letter = usLetter(scanCode)) {
        const bool wideLetter = key > 0xFF && key <= 0xFFFF && QChar(char16_t(key)).isLetter();
        if (wideLetter || (steeringPlace(scanCode) && !latinLetter(key)))
            return letter;
    }
    const bool keypad = mods & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? 96 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Escape: return vk::Esc;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Asterisk: return keypad ? 106 : 0;
    case Qt::Key_Plus: return keypad ? 107 : 187;
    case Qt::Key_Minus: return keypad ? 109 : 189;
    case Qt::Key_Period: return keypad ? 110 : 190;
    case Qt::Key_Slash: return keypad ? 111 : 191;
    case Qt::Key_Comma: return 188;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: return 0;
    }
}

} // namespace input
