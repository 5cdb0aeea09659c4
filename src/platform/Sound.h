// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

struct SDL_AudioSpec;

namespace platform {

// Plays a wave file synchronously: returns when the sound has ended, at once when the
// file is missing or unplayable or there is no audio device.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void playSync(const std::string& path) = 0;
};

// SDL2 audio; SDL is loaded by the first cue, not before. The device is opened for a cue and
// closed again once the queue has been empty for `linger` (a paused SDL 2 device would still
// be fed silence, so an idle game would keep a playback stream running); cues closer than that
// share one device. Only a regular file is read, and only up to a size that no real cue
// reaches; a sample rate no sound card plays is refused; a cue holds the game for at most
// `longest` (a longer wave is cut there). Closing never holds the caller: the device closes on
// a thread of its own, and destruction waits for it at most a second.
class SdlSoundPlayer final : public SoundPlayer {
public:
    static constexpr std::uint64_t kMaxFileBytes = 32u << 20;
    static constexpr int kMinRate = 4000, kMaxRate = 192000;

    explicit SdlSoundPlayer(std::chrono::milliseconds longest = std::chrono::seconds(10),
                            std::chrono::milliseconds linger = std::chrono::milliseconds(250));
    ~SdlSoundPlayer() override;
    SdlSoundPlayer(const SdlSoundPlayer&) = delete;
    SdlSoundPlayer& operator=(const SdlSoundPlayer&) = delete;

    void playSync(const std::string& path) override;
    // Whether a playback stream is open now. The idle close is a promise to the desktop (no
    // stream while no cue plays) that nothing else shows; the tests read it here.
    bool deviceOpen() const;

private:
    struct Shared;
    bool start();
    // The device, open in the wave's format (reopened if the last cue had another), kept open
    // until this cue has played; 0 when none opens.
    std::uint32_t openDevice(const SDL_AudioSpec& spec);

    std::chrono::milliseconds longest_;
    std::chrono::milliseconds linger_;
    bool audioUp_ = false;
    bool triedInit_ = false;
    // The device and its closer's state, shared with the closing thread, which may outlive
    // this object when a driver hangs in its close at exit.
    std::shared_ptr<Shared> shared_;
};

} // namespace platform
