// SPDX-License-Identifier: GPL-3.0-or-later
// How long each cue holds the game, against the length of its wave: on SDL's dummy driver
// (times as a device would play them) and its disk driver (writes the samples to a file).
// The first cue of a run also loads SDL and opens the device. The device closes once idle:
// "after a pause" is the median hold of a cue played once it has closed, so it opens again.
#include "platform/Sound.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

double waveMs(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray b = f.readAll();
    const auto u32 = [&](int at) {
        return static_cast<quint32>(static_cast<quint8>(b[at])) | static_cast<quint32>(static_cast<quint8>(b[at + 1])) << 8
            | static_cast<quint32>(static_cast<quint8>(b[at + 2])) << 16 | static_cast<quint32>(static_cast<quint8>(b[at + 3])) << 24;
    };
    // RIFF header, "fmt " of 16 bytes, then "data": the plain layout the game's waves use.
    return b.size() >= 44 ? 1000.0 * u32(40) / u32(28) : 0;
}

double heldMs(platform::SoundPlayer& player, const std::string& path)
{
    const auto t0 = std::chrono::steady_clock::now();
    player.playSync(path);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

int main()
{
    const std::string dir = std::string(VORLIN_SOURCE_DIR) + "/Vorlin107_rsc/";
    const char* cues[] = {"Beam.wav", "bark.wav", "Dogbrk.wav", "Level.wav", "Chimes.wav"};
    std::printf("Cue hold times (each cue 5 times; min / median; the first play of a run in brackets)\n");
    for (const char* driver : {"dummy", "disk"}) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
        platform::SdlSoundPlayer player;
        std::printf("  SDL %s driver\n", driver);
        bool first = true;
        for (const char* cue : cues) {
            const std::string path = dir + cue;
            double cold = -1;
            if (first)
                cold = heldMs(player, path);
            first = false;
            std::vector<double> held;
            for (int i = 0; i < 5; ++i)
                held.push_back(heldMs(player, path));
            std::sort(held.begin(), held.end());
            std::vector<double> paused;
            for (int i = 0; i < 5; ++i) {
                while (player.deviceOpen())
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                paused.push_back(heldMs(player, path));
            }
            std::sort(paused.begin(), paused.end());
            std::printf("    %-11s wave %6.1f ms  held %6.1f / %6.1f ms  (+%4.1f ms)  after a pause %6.1f ms (+%4.1f ms)", cue,
                        waveMs(path), held[0], held[2], held[2] - waveMs(path), paused[2], paused[2] - waveMs(path));
            if (cold >= 0)
                std::printf("  [%.1f ms]", cold);
            std::printf("\n");
        }
    }
    return 0;
}
