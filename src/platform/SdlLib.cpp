// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SdlLib.h"

#include <dlfcn.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace platform::sdl {
namespace {

constexpr const char* kSoname = "libSDL2-2.0.so.0";

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
            state_ = resolve(dlopen(kSoname, RTLD_NOW | RTLD_LOCAL)) ? State::Ready : State::Missing;
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
            if (void* held = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD))
                state_ = resolve(held) ? State::Ready : State::Missing;
        }
        if (state_ == State::NotStarted) {
            state_ = State::Loading;
            thread_ = std::thread([this] {
                void* handle = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
                const State s = resolve(handle) ? State::Ready : State::Missing;
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

    // Fills the table; false, leaving it unused, when any function is missing. The library
    // stays loaded for the life of the process.
    bool resolve(void* handle)
    {
        if (!handle)
            return false;
        bool complete = true;
#define VORLIN_SDL_RESOLVE(name)                                                                  \
    api_.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));                       \
    complete = complete && api_.name;
        VORLIN_SDL_FUNCTIONS(VORLIN_SDL_RESOLVE)
#undef VORLIN_SDL_RESOLVE
        return complete;
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

} // namespace platform::sdl
