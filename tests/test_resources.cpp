// SPDX-License-Identifier: GPL-3.0-or-later
// The files shipped in Vorlin107_rsc/, read by the game's own readers: what the generator
// writes must load whole in the game, not only in some viewer.
#include "anipic/AniGif.h"
#include "anipic/GifFrameDecoder.h"
#include "anipic/GifSplitter.h"
#include "base/LittleEndian.h"
#include "anipic/AniReader.h"
#include "support/VirtualClock.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QWidget>
#include <SDL.h>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <span>

namespace {

const QString kRsc = QStringLiteral(VORLIN_SOURCE_DIR "/Vorlin107_rsc/");

QByteArray readRsc(const QString& name)
{
    QFile f(kRsc + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::span<const std::uint8_t> span(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), static_cast<std::size_t>(b.size())};
}

std::uint32_t field(const QByteArray& b, qsizetype at, int size)
{
    return le::get(b.constData() + at, size);
}

const char* const kGifs[] = {"email00.gif", "GifAni001.gif"};
const char* const kWaves[] = {"Beam.wav", "bark.wav", "Dogbrk.wav", "Level.wav", "Chimes.wav"};
// The icons live beside the resource folder: the window icon is built into the program.
const char* const kCursors[] = {"IconeAnim001_16c.ani", "../packaging/icons/vorlin.ico"};
const int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

} // namespace

// A file nobody checks can break unseen: each shipped file is in one of the tables below.
TEST(ShippedResources, EveryFileIsChecked)
{
    std::set<QString> known;
    for (const auto& table : {std::span<const char* const>(kGifs), std::span<const char* const>(kWaves),
                              std::span<const char* const>(kCursors)})
        for (const char* name : table)
            known.insert(QString::fromLatin1(name));
    for (const QString& name : QDir(kRsc).entryList(QDir::Files))
        EXPECT_TRUE(known.count(name)) << name.toStdString() << " is shipped but not checked";
}

// The splitter finds as many frames as a GIF reader finds images, with the same delays, and
// the decoder takes each of them whole, inside the picture's screen.
TEST(ShippedResources, GifsCutAndDecodeWhole)
{
    for (const char* name : kGifs) {
        SCOPED_TRACE(name);
        const QByteArray bytes = readRsc(QString::fromLatin1(name));
        QImageReader reader(kRsc + QString::fromLatin1(name));
        const QSize screen = reader.size();
        std::vector<int> delays;
        for (QImage img; reader.read(&img);)
            delays.push_back(reader.nextImageDelay());

        const anipic::GifSplit split = anipic::splitGif(bytes);
        ASSERT_FALSE(split.chunkTooShort);
        ASSERT_GE(split.frames.size(), 2u);
        ASSERT_EQ(split.frames.size(), delays.size());
        const auto frames = anipic::decodeGifFrames(bytes);
        ASSERT_TRUE(frames);
        ASSERT_EQ(frames->size(), split.frames.size());
        for (std::size_t i = 0; i < frames->size(); ++i) {
            const anipic::DecodedFrame& f = (*frames)[i];
            EXPECT_EQ(f.delayMs, delays[i]) << "frame " << i;
            EXPECT_FALSE(f.picture.isNull()) << "frame " << i;
            EXPECT_TRUE(QRect(QPoint(0, 0), screen).contains(QRect(QPoint(f.left, f.top), f.picture.size())))
                << "frame " << i;
        }
    }
}

// The cursor and the window icon decode with every step pointing at a real picture, the hot
// spot on the picture, and an animation's steps lasting some time.
TEST(ShippedResources, CursorsReadWhole)
{
    for (const char* name : kCursors) {
        SCOPED_TRACE(name);
        const QByteArray bytes = readRsc(QString::fromLatin1(name));
        const std::optional<ani::Cursor> cursor = ani::readCursor(span(bytes));
        ASSERT_TRUE(cursor);
        ASSERT_FALSE(cursor->frames.empty());
        ASSERT_EQ(cursor->steps.size(), cursor->stepMs.size());
        for (std::size_t s = 0; s < cursor->steps.size(); ++s) {
            EXPECT_LT(std::size_t(cursor->steps[s]), cursor->frames.size());
            if (cursor->steps.size() > 1) {
                EXPECT_GT(cursor->stepMs[s], 0);
            }
        }
        for (const ani::Frame& f : cursor->frames) {
            EXPECT_EQ(f.image.size(), QSize(32, 32));
            EXPECT_TRUE(f.image.rect().contains(f.hotSpot));
        }
    }
}

// Plain PCM waves whose header agrees with the file: a wrong size would cut a cue short or
// play noise after it. SDL, which plays them, takes each whole, and no cue is long.
TEST(ShippedResources, WavesArePcmWithAConsistentHeader)
{
    for (const char* name : kWaves) {
        SCOPED_TRACE(name);
        const QByteArray b = readRsc(QString::fromLatin1(name));
        ASSERT_GE(b.size(), 12);
        ASSERT_EQ(b.left(4), "RIFF");
        EXPECT_EQ(field(b, 4, 4), std::uint32_t(b.size() - 8));
        ASSERT_EQ(b.mid(8, 4), "WAVE");
        int channels = 0, rate = 0, bits = 0;
        qsizetype dataSize = -1;
        for (qsizetype at = 12; at + 8 <= b.size();) {
            const QByteArray id = b.mid(at, 4);
            const qsizetype size = field(b, at + 4, 4);
            ASSERT_LE(at + 8 + size, b.size()) << id.toStdString() << " runs past the end";
            if (id == "fmt ") {
                ASSERT_GE(size, 16);
                EXPECT_EQ(field(b, at + 8, 2), 1u) << "not PCM";
                channels = int(field(b, at + 10, 2));
                rate = int(field(b, at + 12, 4));
                bits = int(field(b, at + 22, 2));
                EXPECT_EQ(field(b, at + 16, 4), std::uint32_t(rate * channels * bits / 8)) << "byte rate";
                EXPECT_EQ(field(b, at + 20, 2), std::uint32_t(channels * bits / 8)) << "block align";
            } else if (id == "data") {
                ASSERT_GT(channels, 0) << "data before fmt";
                dataSize = size;
                EXPECT_EQ(at + 8 + size + (size & 1), b.size()) << "data does not end the file";
            }
            at += 8 + size + (size & 1);
        }
        EXPECT_TRUE(channels == 1 || channels == 2);
        EXPECT_TRUE(bits == 8 || bits == 16);
        EXPECT_GE(rate, 8000);
        ASSERT_GT(dataSize, 0);
        EXPECT_EQ(dataSize % (channels * bits / 8), 0);
        EXPECT_LT(dataSize, qsizetype(rate) * channels * bits / 8 * 10) << "a cue over 10 s";

        SDL_AudioSpec got;
        Uint8* buf = nullptr;
        Uint32 len = 0;
        ASSERT_TRUE(SDL_LoadWAV_RW(SDL_RWFromConstMem(b.constData(), int(b.size())), 1, &got, &buf, &len))
            << SDL_GetError();
        SDL_FreeWAV(buf);
        EXPECT_EQ(qsizetype(len), dataSize);
        EXPECT_EQ(got.freq, rate);
        EXPECT_EQ(got.channels, channels);
    }
}

TEST(ShippedResources, PngsHaveTheirSize)
{
    for (int size : kIconSizes) {
        const QImage img(kRsc + QStringLiteral("../packaging/icons/vorlin-%1.png").arg(size));
        EXPECT_EQ(img.size(), QSize(size, size)) << size;
    }
}

// The About window plays email00.gif by stacking frames: the first stays in place, each tick
// shows one more above it, and the end of a cycle hides all but the first. At every tick the
// window must show what a GIF viewer shows for the same frame (the last frame, which the game
// never shows, is then the first picture again, so the loop is seamless too).
TEST(ShippedResources, EnvelopeShowsAtEveryTickWhatTheGifMeans)
{
    const QString path = kRsc + QStringLiteral("email00.gif");
    QWidget window;
    window.resize(200, 200);
    auto* label0 = new QLabel(&window);
    const QRect place(24, 56, 50, 50);
    label0->setGeometry(place);
    ImageArray array(label0);
    VirtualClock clock;
    AniGif ani(clock);
    ani.AnimatedGIF = &array;
    window.show();
    ani.LoadAniGif(path, array);
    ASSERT_GE(array.count(), 2);

    QImageReader reader(path);
    const QColor background = window.palette().color(QPalette::Window);
    for (int tick = 1; tick <= array.count(); ++tick) {
        QImage frame;
        ASSERT_TRUE(reader.read(&frame)) << "tick " << tick;
        QImage want(place.size(), QImage::Format_RGB32);
        want.fill(background);
        QPainter(&want).drawImage(0, 0, frame);

        ani.TimerAniGif_Tick();
        const QImage shown = window.grab(place).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, want) << "tick " << tick;
    }
}
