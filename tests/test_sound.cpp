#include "Fakes.h"
#include "platform/Sound.h"
#include "sound/ModuleSon.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstdint>

namespace {

// A mono 16-bit wave of `ms` milliseconds of silence.
QByteArray silentWave(int ms)
{
    const std::uint32_t rate = 22050, samples = rate * ms / 1000, data = samples * 2;
    QByteArray b;
    auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) b.append(char(v >> (8 * i))); };
    auto u16 = [&](std::uint16_t v) { b.append(char(v)); b.append(char(v >> 8)); };
    b.append("RIFF"); u32(36 + data); b.append("WAVE");
    b.append("fmt "); u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
    b.append("data"); u32(data); b.append(QByteArray(int(data), '\0'));
    return b;
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

// Playback is synchronous: a wave holds the caller for its length; a missing or broken
// file returns at once, so a game without its resource folder still runs in order.
TEST(SdlSoundPlayer, BlocksForTheWaveAndReturnsAtOnceOnFailure)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    QTemporaryDir dir;
    const QString good = dir.filePath("good.wav"), bad = dir.filePath("bad.wav");
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(silentWave(150));
    f.close();
    QFile g(bad);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write("RIFF not a wave at all");
    g.close();

    platform::SdlSoundPlayer player;
    QElapsedTimer t;
    t.start();
    player.playSync(dir.filePath("missing.wav").toStdString());
    player.playSync(bad.toStdString());
    EXPECT_LT(t.elapsed(), 100);
    t.restart();
    player.playSync(good.toStdString());
    EXPECT_GE(t.elapsed(), 140);
    EXPECT_LT(t.elapsed(), 1500);
}
