// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SdlLib.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

namespace platform::sdl {
namespace {

constexpr const char* kSoname = "libSDL2-2.0.so.0";
const char* soname = kSoname;

enum class State { NotStarted, Loading, Ready, Missing };

class Loader {
public:
    ~Loader()
    {
        // The process may end while the background load still runs.
        if (thread_.joinable())
            thread_.join();
    }

    // One caller at a time: the UI thread.
    const Api* wait()
    {
        std::unique_lock lock(mutex_);
        if (state_ == State::NotStarted)
            state_ = settle(dlopen(soname, RTLD_NOW | RTLD_LOCAL));
        const bool loading = state_ == State::Loading;
        lock.unlock();
        if (loading)
            thread_.join();
        return ready();
    }

    const Api* poll()
    {
        std::lock_guard lock(mutex_);
        if (state_ == State::NotStarted) {
            if (void* held = dlopen(soname, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD))
                state_ = settle(held);
        }
        if (state_ == State::NotStarted) {
            state_ = State::Loading;
            thread_ = std::thread([this] {
                const State s = settle(dlopen(soname, RTLD_NOW | RTLD_LOCAL));
                std::lock_guard done(mutex_);
                state_ = s;
            });
        }
        return state_ == State::Ready ? &api_ : nullptr;
    }

private:
    const Api* ready()
    {
        std::lock_guard lock(mutex_);
        return state_ == State::Ready ? &api_ : nullptr;
    }

    // Fills the table from the library just opened, on the thread that opened it (dlerror is
    // per thread). Missing, leaving the table unused, when the library or any function is
    // missing: the game then plays without sound and pads, and says so here, the one time a
    // load settles. The library stays loaded for the life of the process.
    State settle(void* handle)
    {
        if (!handle) {
            const char* why = dlerror();
            std::fprintf(stderr, "vorlin: SDL cannot be loaded (%s): no sound and no joysticks\n",
                         why ? why : soname);
            return State::Missing;
        }
#define VORLIN_SDL_RESOLVE(name)                                                                  \
    api_.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));                       \
    if (!api_.name) {                                                                             \
        std::fprintf(stderr, "vorlin: SDL cannot be loaded (%s has no %s): no sound and no "      \
                             "joysticks\n", soname, #name);                                      \
        return State::Missing;                                                                    \
    }
        VORLIN_SDL_FUNCTIONS(VORLIN_SDL_RESOLVE)
#undef VORLIN_SDL_RESOLVE
        return State::Ready;
    }

    std::mutex mutex_;
    State state_ = State::NotStarted;
    std::thread thread_;
    Api api_;
};

Loader& loader()
{
    static Loader l;
    return l;
}

} // namespace

const Api* api()
{
    return loader().wait();
}

const Api* apiIfReady()
{
    return loader().poll();
}

void setLibraryForTesting(const char* name)
{
    soname = name;
}

} // namespace platform::sdl
