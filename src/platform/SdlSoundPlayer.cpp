// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Sound.h"

#include "platform/BoundedFile.h"
#include "platform/SdlLib.h"

#include <algorithm>
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

SdlSoundPlayer::SdlSoundPlayer(std::chrono::milliseconds longest) : longest_(longest) {}

SdlSoundPlayer::~SdlSoundPlayer()
{
    if (!audioUp_)
        return;
    const sdl::Api& S = *sdl::api();
    if (device_)
        S.SDL_CloseAudioDevice(device_);
    S.SDL_QuitSubSystem(SDL_INIT_AUDIO);
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
    return audioUp_;
}

bool SdlSoundPlayer::openDevice(const SDL_AudioSpec& spec)
{
    const sdl::Api& S = *sdl::api();
    if (device_ && (spec.freq != freq_ || spec.format != format_ || spec.channels != channels_)) {
        S.SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
    if (device_)
        return true;
    // Opened in the wave's own format, so no conversion stage holds back a tail.
    SDL_AudioSpec want = spec;
    want.samples = static_cast<Uint16>(bufferFrames(spec.freq));
    want.callback = nullptr;
    SDL_AudioSpec have;
    device_ = S.SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!device_)
        return false;
    freq_ = spec.freq;
    format_ = spec.format;
    channels_ = spec.channels;
    S.SDL_PauseAudioDevice(device_, 0);
    return true;
}

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
    if (bytesPerFrame <= 0 || spec.freq <= 0) {
        S.SDL_FreeWAV(buf);
        return;
    }
    if (!openDevice(spec)) {
        S.SDL_FreeWAV(buf);
        return;
    }

    std::uint64_t frames = len / static_cast<Uint32>(bytesPerFrame);
    frames = std::min<std::uint64_t>(frames, static_cast<std::uint64_t>(longest_.count()) * spec.freq / 1000);
    const auto bytes = static_cast<Uint32>(frames * static_cast<std::uint64_t>(bytesPerFrame));
    const auto length = std::chrono::microseconds(frames * 1'000'000 / static_cast<std::uint64_t>(spec.freq));
    const auto queued = Clock::now();
    S.SDL_QueueAudio(device_, buf, bytes);
    S.SDL_FreeWAV(buf);

    // The device runs all the time and takes the queue a buffer at a time, in step with what
    // it plays: the wave sounds from the moment the first buffer left the queue, for its
    // length; and not before the queue is empty, should the device fall behind. A stuck
    // device is given up a second after the wave should have ended.
    const auto giveUp = queued + length + std::chrono::seconds(1);
    auto now = queued;
    auto started = queued;
    bool seenStart = false;
    for (;;) {
        const Uint32 left = S.SDL_GetQueuedAudioSize(device_);
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

} // namespace platform
