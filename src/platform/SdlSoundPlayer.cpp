// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Sound.h"

#include "platform/BoundedFile.h"
#include "platform/SdlLib.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// A power of two of frames lasting about 10 ms: the device takes the queue in buffers of
// this size, so a cue starts at most this late.
int bufferFrames(int freq)
{
    int frames = 64;
    while (frames * 2 * 1000 <= freq * 12)
        frames *= 2;
    return frames;
}

} // namespace

// The open device and when it closes. The closer thread sleeps on `wake` without a timeout
// while no device is open, so an idle game has neither a stream nor a wake-up.
struct SdlSoundPlayer::Shared {
    std::mutex m;
    std::condition_variable wake;
    std::condition_variable finished;
    std::uint32_t device = 0;
    // The open device's format: a cue in another one reopens it.
    int freq = 0;
    std::uint16_t format = 0;
    std::uint8_t channels = 0;
    Clock::time_point closeAt = Clock::time_point::max();
    // A device being closed, outside the lock.
    bool closing = false;
    std::condition_variable closed;
    bool quitting = false;
    bool done = false;

    // Takes the device out under the lock; the close itself runs outside it, so that a driver
    // slow to close never holds the lock.
    static void closeUnlocked(std::unique_lock<std::mutex>& lock, Shared& d)
    {
        const std::uint32_t id = d.device;
        d.device = 0;
        d.closeAt = Clock::time_point::max();
        if (!id)
            return;
        d.closing = true;
        lock.unlock();
        sdl::api()->SDL_CloseAudioDevice(id);
        lock.lock();
        d.closing = false;
        d.closed.notify_all();
    }

    static void run(const std::shared_ptr<Shared>& self)
    {
        Shared& d = *self;
        std::unique_lock lock(d.m);
        while (!d.quitting) {
            if (d.closeAt == Clock::time_point::max())
                d.wake.wait(lock);
            else if (d.wake.wait_until(lock, d.closeAt) == std::cv_status::timeout && Clock::now() >= d.closeAt)
                closeUnlocked(lock, d);
        }
        closeUnlocked(lock, d);
        lock.unlock();
        sdl::api()->SDL_QuitSubSystem(SDL_INIT_AUDIO);
        lock.lock();
        d.done = true;
        d.finished.notify_all();
    }
};

SdlSoundPlayer::SdlSoundPlayer(std::chrono::milliseconds longest, std::chrono::milliseconds linger)
    : longest_(longest), linger_(linger), shared_(std::make_shared<Shared>())
{
}

SdlSoundPlayer::~SdlSoundPlayer()
{
    if (!audioUp_)
        return;
    // A driver can take minutes to close (a device whose buffer lasts that long): the game
    // does not wait for it past a second on its way out.
    std::unique_lock lock(shared_->m);
    shared_->quitting = true;
    shared_->wake.notify_all();
    shared_->finished.wait_for(lock, std::chrono::seconds(1), [this] { return shared_->done; });
}

bool SdlSoundPlayer::deviceOpen() const
{
    const std::lock_guard lock(shared_->m);
    return shared_->device != 0 || shared_->closing;
}

bool SdlSoundPlayer::start()
{
    if (triedInit_)
        return audioUp_;
    triedInit_ = true;
    const sdl::Api* S = sdl::api();
    if (!S)
        return false;
    S->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); // keep SIGTERM ending the game
    audioUp_ = S->SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (audioUp_)
        std::thread(Shared::run, shared_).detach();
    return audioUp_;
}

std::uint32_t SdlSoundPlayer::openDevice(const SDL_AudioSpec& spec)
{
    Shared& d = *shared_;
    std::unique_lock lock(d.m);
    d.closeAt = Clock::time_point::max(); // a cue is due: the closer keeps the device
    // Drivers with a single device (SDL's dummy and disk drivers among them) refuse a second
    // while the first is still closing; a close takes a buffer's time, a hung one is not
    // waited for past a second.
    d.closed.wait_for(lock, std::chrono::seconds(1), [&d] { return !d.closing; });
    if (d.device && (spec.freq != d.freq || spec.format != d.format || spec.channels != d.channels))
        Shared::closeUnlocked(lock, d);
    if (d.device)
        return d.device;
    // Opened in the wave's own format, so no conversion stage holds back a tail.
    SDL_AudioSpec want = spec;
    want.samples = static_cast<Uint16>(bufferFrames(spec.freq));
    want.callback = nullptr;
    SDL_AudioSpec have;
    const sdl::Api& S = *sdl::api();
    d.device = S.SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!d.device)
        return 0;
    d.freq = spec.freq;
    d.format = spec.format;
    d.channels = spec.channels;
    S.SDL_PauseAudioDevice(d.device, 0);
    return d.device;
}

namespace {

// The device runs while it is open and takes the queue a buffer at a time, in step with what
// it plays: the wave sounds from the moment the first buffer left the queue, for its length;
// and not before the queue is empty, should the device fall behind. A stuck device is given
// up a second after the wave should have ended.
void waitUntilPlayed(const sdl::Api& S, std::uint32_t device, Uint32 bytes, std::chrono::microseconds length,
                     Clock::time_point queued)
{
    const auto giveUp = queued + length + std::chrono::seconds(1);
    auto now = queued;
    auto started = queued;
    bool seenStart = false;
    for (;;) {
        const Uint32 left = S.SDL_GetQueuedAudioSize(device);
        now = Clock::now();
        if (!seenStart && left < bytes) {
            seenStart = true;
            started = now;
        }
        if (left == 0 || now >= giveUp)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_until(std::min(std::max(started + length, now), giveUp));
}

} // namespace

void SdlSoundPlayer::playSync(const std::string& path)
{
    // Only a regular file of a sane size: a FIFO or device of that name cannot hold the game.
    std::optional<QByteArray> file = readRegularFile(QString::fromStdString(path), kMaxFileBytes);
    if (!file || file->isEmpty() || !start())
        return;
    const sdl::Api& S = *sdl::api();

    SDL_AudioSpec spec;
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (!S.SDL_LoadWAV_RW(S.SDL_RWFromConstMem(file->constData(), static_cast<int>(file->size())), 1, &spec, &buf, &len))
        return;
    file.reset();

    const int bytesPerFrame = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
    // A rate no sound card plays: a 1 Hz wave would hold the game for its whole cut length
    // and leave a device whose buffer lasts a minute, which its driver then takes minutes to close.
    if (bytesPerFrame <= 0 || spec.freq < kMinRate || spec.freq > kMaxRate) {
        S.SDL_FreeWAV(buf);
        return;
    }
    const std::uint32_t device = openDevice(spec);
    if (!device) {
        S.SDL_FreeWAV(buf);
        return;
    }

    std::uint64_t frames = len / static_cast<Uint32>(bytesPerFrame);
    frames = std::min<std::uint64_t>(frames, static_cast<std::uint64_t>(longest_.count()) * spec.freq / 1000);
    const auto bytes = static_cast<Uint32>(frames * static_cast<std::uint64_t>(bytesPerFrame));
    const auto length = std::chrono::microseconds(frames * 1'000'000 / static_cast<std::uint64_t>(spec.freq));
    const auto queued = Clock::now();
    S.SDL_QueueAudio(device, buf, bytes);
    S.SDL_FreeWAV(buf);

    waitUntilPlayed(S, device, bytes, length, queued);

    // The device closes once it has stayed idle a while: the tail still in the driver's
    // buffers plays out, and the next cue of a quick series finds the device open.
    const std::lock_guard lock(shared_->m);
    if (shared_->device == device) {
        shared_->closeAt = Clock::now() + linger_;
        shared_->wake.notify_all();
    }
}

} // namespace platform
