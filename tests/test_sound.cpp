// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "platform/Sound.h"
#include "sound/ModuleSon.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A 16-bit wave of `ms` milliseconds of silence; `dataBytes` overrides the length its
// header gives, for a file that claims more than it holds.
QByteArray silentWave(int ms, std::uint32_t rate = 22050, std::uint16_t channels = 1, std::uint32_t dataBytes = 0)
{
    const std::uint32_t frames = rate * ms / 1000, data = frames * 2 * channels;
    const std::uint32_t claimed = dataBytes ? dataBytes : data;
    QByteArray b;
    auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) b.append(char(v >> (8 * i))); };
    auto u16 = [&](std::uint16_t v) { b.append(char(v)); b.append(char(v >> 8)); };
    b.append("RIFF"); u32(36 + claimed); b.append("WAVE");
    b.append("fmt "); u32(16); u16(1); u16(channels); u32(rate); u32(rate * 2 * channels); u16(2 * channels); u16(16);
    b.append("data"); u32(claimed); b.append(QByteArray(int(data), '\0'));
    return b;
}

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

// Milliseconds that one synchronous play held the caller.
qint64 heldMs(platform::SoundPlayer& player, const QString& path)
{
    QElapsedTimer t;
    t.start();
    player.playSync(path.toStdString());
    return t.elapsed();
}

} // namespace

// Cues are looked for under the current directory at each call, with "/" separators.
TEST(ModuleSon, PathFollowsTheCurrentDirectory)
{
    Log log;
    FakeSound sound(log);
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    ModuleSon::play(sound, ModuleSon::kStart);
    ASSERT_TRUE(QDir::setCurrent(before));
    ModuleSon::play(sound, ModuleSon::kCrashRouge);
    EXPECT_EQ(sound.paths[0], (QDir(dir.path()).canonicalPath() + "/Vorlin107_rsc/Beam.wav").toStdString());
    EXPECT_EQ(sound.paths[1], (before + "/Vorlin107_rsc/Dogbrk.wav").toStdString());
}

// Playback is synchronous and holds the game for the wave's length, not longer: the trails
// start and the game re-arms on time. A missing or broken file returns at once, so a game
// without its resource folder still runs in order. A wave in another format gets a device
// of its own format (played in the old one it would last twice or four times as long).
// The shortest of three holds is bounded, so that a busy machine's late wake-ups do not
// count against the player.
TEST(SdlSoundPlayer, HoldsForTheWaveAndNoLonger)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    QTemporaryDir dir;
    const QString mono = writeFile(dir, "mono.wav", silentWave(150));
    const QString stereo = writeFile(dir, "stereo.wav", silentWave(100, 44100, 2));
    const QString bad = writeFile(dir, "bad.wav", "RIFF not a wave at all");

    platform::SdlSoundPlayer player;
    heldMs(player, mono); // the first cue also loads SDL and opens the device
    EXPECT_LT(heldMs(player, dir.filePath("missing.wav")), 5);
    EXPECT_LT(heldMs(player, bad), 5);
    const qint64 m = std::min({heldMs(player, mono), heldMs(player, mono), heldMs(player, mono)});
    const qint64 s = std::min({heldMs(player, stereo), heldMs(player, stereo), heldMs(player, stereo)});
    EXPECT_GE(m, 150);
    EXPECT_LE(m, 170);
    EXPECT_GE(s, 100);
    EXPECT_LE(s, 120);
}

// A FIFO named like a cue would block the read for as long as no one writes to it: the
// game would hang at the first crash.
TEST(SdlSoundPlayer, AFifoReturnsAtOnce)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    QTemporaryDir dir;
    const QString fifo = dir.filePath("Beam.wav");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Should playback block on the FIFO anyway, this writer frees it after a second, so the
    // test fails on the time rather than hanging.
    std::atomic<bool> done{false};
    std::thread rescue([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (!done && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        while (!done) {
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    platform::SdlSoundPlayer player;
    const qint64 held = heldMs(player, fifo);
    done = true;
    rescue.join();
    EXPECT_LT(held, 100);
}

// A 50 MB wave (sparse here) is refused before it is read: played, it would hold the game
// for 20 minutes.
TEST(SdlSoundPlayer, AnOversizedFileIsNotRead)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    QTemporaryDir dir;
    const std::uint32_t data = 50u << 20;
    const QString huge = writeFile(dir, "huge.wav", silentWave(0, 22050, 1, data));
    ASSERT_EQ(::truncate(QFile::encodeName(huge).constData(), 44 + data), 0);
    platform::SdlSoundPlayer player;
    EXPECT_LT(heldMs(player, huge), 100);
}

// A cue holds the game for at most its set longest time (10 s in the game); a longer wave
// is cut there.
TEST(SdlSoundPlayer, ALongWaveIsCut)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    QTemporaryDir dir;
    const QString wave = writeFile(dir, "long.wav", silentWave(600));
    platform::SdlSoundPlayer player(std::chrono::milliseconds(150));
    heldMs(player, wave); // loads SDL and opens the device
    const qint64 held = std::min(heldMs(player, wave), heldMs(player, wave));
    EXPECT_GE(held, 150);
    EXPECT_LE(held, 170);
}

// A rate no sound card plays is refused at once: a wave claiming 1 Hz held the game for its
// whole cut length and left a device that took minutes to close.
TEST(SdlSoundPlayer, ARateNoSoundCardPlaysIsRefused)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    QTemporaryDir dir;
    const QString slow = writeFile(dir, "slow.wav", silentWave(20000, 1));
    const QString fast = writeFile(dir, "fast.wav", silentWave(200, 300000));
    platform::SdlSoundPlayer player(std::chrono::milliseconds(200));
    heldMs(player, writeFile(dir, "bad.wav", "RIFF not a wave")); // loads SDL, opens nothing
    EXPECT_LT(heldMs(player, slow), 5);
    EXPECT_LT(heldMs(player, fast), 5);
    EXPECT_FALSE(player.deviceOpen());
}

// An idle game has no playback stream: once the queue is empty the device closes (the disk
// driver writes what a stream would play, so its file stops growing), and the next cue opens
// it again and still holds for its wave alone.
TEST(SdlSoundPlayer, AnIdlePlayerHasNoStreamOpen)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("stream.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(out));
    const QString wave = writeFile(dir, "cue.wav", silentWave(100));
    platform::SdlSoundPlayer player(std::chrono::seconds(10), std::chrono::milliseconds(0));
    const auto closed = [&player] {
        // The closing thread's work, not a timer: it starts as the cue returns.
        for (int i = 0; i < 1000 && player.deviceOpen(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return !player.deviceOpen();
    };
    heldMs(player, wave); // loads SDL
    // The shortest of three holds, each the first cue after a pause, as above.
    qint64 held = 1000;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(closed());
        const qint64 before = QFileInfo(out).size();
        held = std::min(held, heldMs(player, wave));
        ASSERT_TRUE(closed());
        // The wave (4410 bytes) and at most the two buffers (512 bytes each) around it.
        EXPECT_LE(QFileInfo(out).size() - before, 4410 + 2 * 512);
    }
    EXPECT_GE(held, 100);
    EXPECT_LE(held, 120) << "the first cue after a pause";
}

// However long a driver takes to close its device, the game's exit waits for it at most a
// second (the disk driver told to take 3 s per buffer stands for one that hangs). Last in
// this file: the hung close outlives the player and keeps SDL's audio driver set.
TEST(SdlSoundPlayer, ExitWaitsOnTheDeviceAtMostASecond)
{
    QTemporaryDir dir;
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(dir.filePath("stream.raw")));
    qputenv("SDL_DISKAUDIODELAY", "3000");
    const QString wave = writeFile(dir, "cue.wav", silentWave(10));
    QElapsedTimer t;
    {
        auto player = std::make_unique<platform::SdlSoundPlayer>();
        heldMs(*player, wave);
        t.start();
    }
    EXPECT_LE(t.elapsed(), 1050) << "a second, and the wake-up of a loaded machine";
    qunsetenv("SDL_DISKAUDIODELAY");
}
