// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SdlJoystick.h"

#include "platform/SdlLib.h"

#include <algorithm>
#include <bit>

namespace platform {
namespace {

constexpr int kJoyErrParms = 165;     // JOYERR_PARMS: no such identifier
constexpr int kJoyErrUnplugged = 167; // JOYERR_UNPLUGGED
constexpr std::uint32_t kPovCentred = 0xFFFF;
constexpr std::uint32_t kMaxButtons = 32;

// SDL's -32768..32767 onto the platform's 0 (left, top) .. 65535 (right, bottom).
constexpr std::uint32_t position(Sint16 v)
{
    return static_cast<std::uint32_t>(v + 32768);
}

constexpr std::uint32_t kCentre = position(0);
constexpr std::uint32_t kLow = position(SDL_JOYSTICK_AXIS_MIN);
constexpr std::uint32_t kHigh = position(SDL_JOYSTICK_AXIS_MAX);

// Hundredths of degrees clockwise from up.
std::uint32_t pov(Uint8 hat)
{
    switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return kPovCentred;
    }
}

JoyInfo readStick(const sdl::Api& S, SDL_Joystick* s)
{
    JoyInfo r;
    const int axes = S.SDL_JoystickNumAxes(s);
    // A box of buttons alone must not read as a stick held to the top left.
    const auto axis = [&](int i, std::uint32_t absent) {
        return i < axes ? position(S.SDL_JoystickGetAxis(s, i)) : absent;
    };
    r.dwXpos = axis(0, kCentre);
    r.dwYpos = axis(1, kCentre);
    r.dwZpos = axis(2, 0);
    r.dwRpos = axis(3, 0);
    r.dwUpos = axis(4, 0);
    r.dwVpos = axis(5, 0);

    const int buttons = std::min(S.SDL_JoystickNumButtons(s), static_cast<int>(kMaxButtons));
    for (int b = 0; b < buttons; ++b)
        if (S.SDL_JoystickGetButton(s, b))
            r.dwButtons |= 1u << b;
    r.dwButtonNumber = static_cast<std::uint32_t>(std::popcount(r.dwButtons));
    r.dwPOV = S.SDL_JoystickNumHats(s) > 0 ? pov(S.SDL_JoystickGetHat(s, 0)) : kPovCentred;
    return r;
}

// The order in which the platform's joystick service shows a pad's buttons: A, B, X, Y, the
// shoulders, Back, Start, the stick clicks; then what SDL knows beyond them. The D-pad is not
// among them: it is the point of view, and steers.
constexpr SDL_GameControllerButton kPadButtons[] = {
    SDL_CONTROLLER_BUTTON_A,          SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,          SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,       SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,  SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    SDL_CONTROLLER_BUTTON_GUIDE,      SDL_CONTROLLER_BUTTON_MISC1,
    SDL_CONTROLLER_BUTTON_PADDLE1,    SDL_CONTROLLER_BUTTON_PADDLE2,
    SDL_CONTROLLER_BUTTON_PADDLE3,    SDL_CONTROLLER_BUTTON_PADDLE4,
    SDL_CONTROLLER_BUTTON_TOUCHPAD,
};

Uint8 dpad(const sdl::Api& S, SDL_GameController* p)
{
    Uint8 hat = SDL_HAT_CENTERED;
    if (S.SDL_GameControllerGetButton(p, SDL_CONTROLLER_BUTTON_DPAD_UP))
        hat |= SDL_HAT_UP;
    if (S.SDL_GameControllerGetButton(p, SDL_CONTROLLER_BUTTON_DPAD_DOWN))
        hat |= SDL_HAT_DOWN;
    if (S.SDL_GameControllerGetButton(p, SDL_CONTROLLER_BUTTON_DPAD_LEFT))
        hat |= SDL_HAT_LEFT;
    if (S.SDL_GameControllerGetButton(p, SDL_CONTROLLER_BUTTON_DPAD_RIGHT))
        hat |= SDL_HAT_RIGHT;
    // A worn pad can report opposite directions at once: they cancel.
    if ((hat & SDL_HAT_UP) && (hat & SDL_HAT_DOWN))
        hat &= ~(SDL_HAT_UP | SDL_HAT_DOWN);
    if ((hat & SDL_HAT_LEFT) && (hat & SDL_HAT_RIGHT))
        hat &= ~(SDL_HAT_LEFT | SDL_HAT_RIGHT);
    return hat;
}

JoyInfo readPad(const sdl::Api& S, SDL_GameController* p)
{
    const auto axis = [&S, p](SDL_GameControllerAxis a) { return S.SDL_GameControllerGetAxis(p, a); };
    JoyInfo r;
    r.dwXpos = position(axis(SDL_CONTROLLER_AXIS_LEFTX));
    r.dwYpos = position(axis(SDL_CONTROLLER_AXIS_LEFTY));
    // The axes as the platform's service shows a pad: both triggers on z (left towards the
    // top of the range), right stick on r (vertical) and u (horizontal).
    const int triggers = axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT) - axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    r.dwZpos = position(static_cast<Sint16>(std::clamp(triggers, SDL_JOYSTICK_AXIS_MIN, SDL_JOYSTICK_AXIS_MAX)));
    r.dwRpos = position(axis(SDL_CONTROLLER_AXIS_RIGHTY));
    r.dwUpos = position(axis(SDL_CONTROLLER_AXIS_RIGHTX));
    r.dwVpos = 0;

    const Uint8 hat = dpad(S, p);
    if (hat & SDL_HAT_LEFT)
        r.dwXpos = kLow;
    if (hat & SDL_HAT_RIGHT)
        r.dwXpos = kHigh;
    if (hat & SDL_HAT_UP)
        r.dwYpos = kLow;
    if (hat & SDL_HAT_DOWN)
        r.dwYpos = kHigh;
    r.dwPOV = pov(hat);

    for (std::uint32_t bit = 0; bit < std::size(kPadButtons); ++bit)
        if (S.SDL_GameControllerGetButton(p, kPadButtons[bit]))
            r.dwButtons |= 1u << bit;
    r.dwButtonNumber = static_cast<std::uint32_t>(std::popcount(r.dwButtons));
    return r;
}

} // namespace

SdlJoystick::SdlJoystick() = default;

SdlJoystick::~SdlJoystick()
{
    if (!up_)
        return;
    for (Device& d : devices_)
        close(*sdl_, d);
    sdl_->SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
}

bool SdlJoystick::start()
{
    if (up_ || failed_)
        return up_;
    // SDL is loaded in the background on the first read, so the start of the game never
    // waits for it; until it is there every read answers "unplugged", as with no device.
    sdl_ = sdl::apiIfReady();
    if (!sdl_)
        return false;
    const sdl::Api& S = *sdl_;
    // SDL drops joystick input while none of its windows has the focus; the game's windows
    // are Qt's, and a read must answer whichever window is in front.
    S.SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // SDL would otherwise turn SIGINT and SIGTERM into events nobody reads, and the game
    // could no longer be stopped by a signal.
    S.SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    up_ = S.SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
    failed_ = !up_;
    if (!up_)
        return false;
    // No one drains SDL's event queue here: reads ask for the state and enumerate devices,
    // so joystick events would only pile up.
    S.SDL_JoystickEventState(SDL_IGNORE);
    S.SDL_GameControllerEventState(SDL_IGNORE);
    return true;
}

int SdlJoystick::joyGetPosEx(int id, JoyInfo& info)
{
    if (id < 0 || id >= static_cast<int>(devices_.size()))
        return kJoyErrParms;
    if (!start())
        return kJoyErrUnplugged;
    refresh();
    const Device& d = devices_[static_cast<std::size_t>(id)];
    if (!d.stick)
        return kJoyErrUnplugged;

    JoyInfo r = d.pad ? readPad(*sdl_, d.pad) : readStick(*sdl_, d.stick);
    r.dwSize = info.dwSize;
    r.dwFlags = info.dwFlags;
    info = r;
    return 0;
}

QString SdlJoystick::slotName(int id)
{
    if (id < 0 || id >= static_cast<int>(devices_.size()) || !start())
        return {};
    const Device& d = devices_[static_cast<std::size_t>(id)];
    if (!d.stick)
        return {};
    // A game controller by the name of its mapping, which says what the player holds.
    const char* name = d.pad ? sdl_->SDL_GameControllerName(d.pad) : sdl_->SDL_JoystickName(d.stick);
    return name ? QString::fromUtf8(name) : QString();
}

QStringList SdlJoystick::connectedPads()
{
    if (!start())
        return {};
    refresh();
    const sdl::Api& S = *sdl_;
    QStringList pads;
    for (int i = 0; i < S.SDL_NumJoysticks(); ++i) {
        const char* name = S.SDL_IsGameController(i) ? S.SDL_GameControllerNameForIndex(i) : S.SDL_JoystickNameForIndex(i);
        pads << (name ? QString::fromUtf8(name) : QStringLiteral("?"));
    }
    return pads;
}

void SdlJoystick::assignSlot(int id, int index)
{
    if (id < 0 || id >= static_cast<int>(devices_.size()) || !start())
        return;
    const sdl::Api& S = *sdl_;
    if (index < 0 || index >= S.SDL_NumJoysticks())
        return;
    const SDL_JoystickID instance = S.SDL_JoystickGetDeviceInstanceID(index);
    Device& mine = devices_[static_cast<std::size_t>(id)];
    Device& other = devices_[static_cast<std::size_t>(1 - id)];
    if (mine.instance == instance)
        return;
    // The pad of the other trail: the two trails swap pads.
    if (other.instance == instance) {
        std::swap(mine, other);
        return;
    }
    close(S, mine);
    open(index, mine);
}

void SdlJoystick::refresh()
{
    const sdl::Api& S = *sdl_;
    // Reads the devices and runs SDL's hotplug detection.
    S.SDL_JoystickUpdate();
    for (Device& d : devices_)
        if (d.stick && !S.SDL_JoystickGetAttached(d.stick))
            close(S, d);

    const auto isFree = [](const Device& d) { return d.stick == nullptr; };
    const int count = S.SDL_NumJoysticks();
    for (int i = 0; i < count; ++i) {
        const auto slot = std::find_if(devices_.begin(), devices_.end(), isFree);
        if (slot == devices_.end())
            return;
        const SDL_JoystickID instance = S.SDL_JoystickGetDeviceInstanceID(i);
        const bool held = std::any_of(devices_.begin(), devices_.end(),
                                      [instance](const Device& d) { return d.instance == instance; });
        if (instance >= 0 && !held)
            open(i, *slot);
    }
}

void SdlJoystick::open(int deviceIndex, Device& into)
{
    const sdl::Api& S = *sdl_;
    if (S.SDL_IsGameController(deviceIndex))
        into.pad = S.SDL_GameControllerOpen(deviceIndex);
    // A pad SDL could not open as one is still a joystick, read by index.
    into.stick = into.pad ? S.SDL_GameControllerGetJoystick(into.pad) : S.SDL_JoystickOpen(deviceIndex);
    into.instance = into.stick ? S.SDL_JoystickInstanceID(into.stick) : -1;
}

void SdlJoystick::close(const sdl::Api& S, Device& d)
{
    if (d.pad)
        S.SDL_GameControllerClose(d.pad);
    else if (d.stick)
        S.SDL_JoystickClose(d.stick);
    d = Device{};
}

} // namespace platform
