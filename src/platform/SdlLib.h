// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SDL2 loaded at run time rather than linked: libSDL2 and the sound, codec and display
// libraries it pulls in cost tens of milliseconds at exec, before the first window could
// show, while the game needs SDL only for joysticks and cues. The headers give the
// prototypes; the functions are looked up in the library the first time they are needed.
#include <SDL.h>

namespace platform::sdl {

#define VORLIN_SDL_FUNCTIONS(X)                                                                  \
    X(SDL_SetHint)                                                                                \
    X(SDL_InitSubSystem)                                                                          \
    X(SDL_QuitSubSystem)                                                                          \
    X(SDL_RWFromConstMem)                                                                         \
    X(SDL_LoadWAV_RW)                                                                             \
    X(SDL_FreeWAV)                                                                                \
    X(SDL_OpenAudioDevice)                                                                        \
    X(SDL_CloseAudioDevice)                                                                       \
    X(SDL_PauseAudioDevice)                                                                       \
    X(SDL_QueueAudio)                                                                             \
    X(SDL_GetQueuedAudioSize)                                                                     \
    X(SDL_JoystickEventState)                                                                     \
    X(SDL_GameControllerEventState)                                                               \
    X(SDL_JoystickUpdate)                                                                         \
    X(SDL_NumJoysticks)                                                                           \
    X(SDL_JoystickGetDeviceInstanceID)                                                            \
    X(SDL_JoystickOpen)                                                                           \
    X(SDL_JoystickClose)                                                                          \
    X(SDL_JoystickGetAttached)                                                                    \
    X(SDL_JoystickInstanceID)                                                                     \
    X(SDL_JoystickNumAxes)                                                                        \
    X(SDL_JoystickNumButtons)                                                                     \
    X(SDL_JoystickNumHats)                                                                        \
    X(SDL_JoystickGetAxis)                                                                        \
    X(SDL_JoystickGetButton)                                                                      \
    X(SDL_JoystickGetHat)                                                                         \
    X(SDL_IsGameController)                                                                       \
    X(SDL_GameControllerOpen)                                                                     \
    X(SDL_GameControllerClose)                                                                    \
    X(SDL_GameControllerGetJoystick)                                                              \
    X(SDL_GameControllerGetAxis)                                                                  \
    X(SDL_GameControllerGetButton)                                                                \
    X(SDL_JoystickName)                                                                           \
    X(SDL_JoystickNameForIndex)                                                                   \
    X(SDL_GameControllerName)                                                                     \
    X(SDL_GameControllerNameForIndex)

// The SDL functions the platform layer calls, each under its own name.
struct Api {
#define VORLIN_SDL_MEMBER(name) decltype(&::name) name = nullptr;
    VORLIN_SDL_FUNCTIONS(VORLIN_SDL_MEMBER)
#undef VORLIN_SDL_MEMBER
};

// The library, loading it now if need be (waits for a load already under way). Null when
// libSDL2 is missing or lacks a function: the callers then act as with no device.
const Api* api();

// Never blocks: the library when it is ready; otherwise null, and a load starts in the
// background (once), so a caller that polls finds it a tick or two later. A library that
// this process already holds is taken at once.
const Api* apiIfReady();

// Tests only, before the first load: the library to open instead of libSDL2. SDL is loaded
// once per process, so the one way to see the game go on without it is to name a library
// that is not there before anything asks for SDL.
void setLibraryForTesting(const char* name);

} // namespace platform::sdl
