// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
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

// SDL2 audio; SDL is loaded and the device opened by the first cue, not before, and the
// device stays open between cues so that none waits for it or loses its tail to a close.
// Only a regular file is read, and only up to a size that no real cue reaches; a cue holds
// the game for at most `longest` (a longer wave is cut there).
class SdlSoundPlayer final : public SoundPlayer {
public:
    static constexpr std::uint64_t kMaxFileBytes = 32u << 20;

    explicit SdlSoundPlayer(std::chrono::milliseconds longest = std::chrono::seconds(10));
    ~SdlSoundPlayer() override;
    SdlSoundPlayer(const SdlSoundPlayer&) = delete;
    SdlSoundPlayer& operator=(const SdlSoundPlayer&) = delete;

    void playSync(const std::string& path) override;

private:
    bool start();
    // The device, open in the wave's format (reopened if the last cue had another).
    bool openDevice(const SDL_AudioSpec& spec);

    std::chrono::milliseconds longest_;
    bool audioUp_ = false;
    bool triedInit_ = false;
    std::uint32_t device_ = 0;
    // The open device's format: a cue in another one reopens it.
    int freq_ = 0;
    std::uint16_t format_ = 0;
    std::uint8_t channels_ = 0;
};

} // namespace platform
