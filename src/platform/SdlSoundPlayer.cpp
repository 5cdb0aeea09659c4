#include "platform/Sound.h"

#include <SDL.h>

namespace platform {

SdlSoundPlayer::SdlSoundPlayer() = default;

SdlSoundPlayer::~SdlSoundPlayer()
{
    if (audioUp_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSoundPlayer::playSync(const std::string& path)
{
    if (!triedInit_) {
        triedInit_ = true;
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); // keep SIGTERM ending the game
        audioUp_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    if (!audioUp_)
        return;

    SDL_AudioSpec spec;
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (!SDL_LoadWAV(path.c_str(), &spec, &buf, &len))
        return;

    // A device per cue, opened in the wave's own format: cues are rare and short, and
    // this way no conversion stage can hold back the tail of the sound.
    const SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
    if (dev == 0) {
        SDL_FreeWAV(buf);
        return;
    }
    SDL_QueueAudio(dev, buf, len);
    SDL_PauseAudioDevice(dev, 0);

    const int bytesPerFrame = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
    const Uint32 ms = bytesPerFrame > 0 && spec.freq > 0
        ? static_cast<Uint32>(static_cast<Uint64>(len) * 1000 / (static_cast<Uint64>(bytesPerFrame) * spec.freq))
        : 0;
    // Block for the length of the wave, then until the device has drained what it holds.
    SDL_Delay(ms);
    for (int i = 0; i < 50 && SDL_GetQueuedAudioSize(dev) > 0; ++i)
        SDL_Delay(5);
    SDL_CloseAudioDevice(dev);
    SDL_FreeWAV(buf);
}

} // namespace platform
