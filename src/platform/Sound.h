#pragma once

#include <string>

namespace platform {

// Plays a wave file synchronously: returns when the sound has ended, at once when the
// file is missing or unplayable or there is no audio device.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void playSync(const std::string& path) = 0;
};

// SDL2 audio, opened on first use; the video subsystem is never touched.
class SdlSoundPlayer final : public SoundPlayer {
public:
    SdlSoundPlayer();
    ~SdlSoundPlayer() override;
    SdlSoundPlayer(const SdlSoundPlayer&) = delete;
    SdlSoundPlayer& operator=(const SdlSoundPlayer&) = delete;

    void playSync(const std::string& path) override;

private:
    bool audioUp_ = false;
    bool triedInit_ = false;
};

} // namespace platform
