// SPDX-License-Identifier: GPL-3.0-or-later
#include "anipic/GifSplitter.h"
#include "test_anipic_gifs.h"

#include <gtest/gtest.h>

using anipic::splitGif;
using gifs::bytes;

namespace {

// Everything an ordinary file holds before its first graphic control extension.
QByteArray prologue(int w = 8, int h = 8)
{
    return gifs::header(w, h) + gifs::netscapeLoop();
}

} // namespace

// The common header runs up to the first marker's 00 21, and with one marker the only
// frame file is the whole file less its last two bytes (terminator and trailer).
TEST(GifSplitter, OneMarkerGivesOneFrameOfTheFileLessItsLastTwoBytes)
{
    const QByteArray file = gifs::animated(4, 4, {{0, 0, 2, 2, 20, -1, {}}});
    const auto split = splitGif(file);

    EXPECT_EQ(split.header, prologue(4, 4) + bytes({0x21}));
    ASSERT_EQ(split.frames.size(), 1u);
    EXPECT_FALSE(split.chunkTooShort);
    EXPECT_EQ(split.frames[0].chunk.front(), '\xF9');
    EXPECT_EQ(split.frameFile(0), file.chopped(2));
    EXPECT_EQ(split.frames[0].delayMs, 200);
}

// Each chunk runs from its own 0xF9 to the 00 21 of the next marker; the last one stops two
// bytes before the end. Header and chunks put together give the file back.
TEST(GifSplitter, NMarkersGiveNFramesCutAtEachMarker)
{
    const std::vector<gifs::Frame> frames = {
        {0, 0, 3, 3, 20, -1, {}}, {1, 1, 2, 2, 0, -1, {}}, {2, 0, 1, 3, 7, 0, {}}, {0, 2, 3, 1, 300, -1, {}}};
    const QByteArray file = gifs::animated(4, 4, frames);
    const auto split = splitGif(file);

    ASSERT_EQ(split.frames.size(), frames.size());
    QByteArray joined = split.header;
    for (std::size_t k = 0; k < frames.size(); ++k) {
        QByteArray expected = gifs::frameBlocks(frames[k]).mid(1);
        expected = k + 1 < frames.size() ? expected + bytes({0x21}) : expected.chopped(1);
        EXPECT_EQ(split.frames[k].chunk, expected) << "frame " << k + 1;
        EXPECT_EQ(split.frameFile(k), split.header + expected);
        joined += split.frames[k].chunk;
    }
    EXPECT_EQ(joined, file.chopped(2));
    EXPECT_EQ(split.frames[0].delayMs, 200);
    EXPECT_EQ(split.frames[1].delayMs, 0);
    EXPECT_EQ(split.frames[2].delayMs, 70);
    EXPECT_EQ(split.frames[3].delayMs, 3000);
}

// Offsets come from chunk bytes 9 to 12, little-endian, for every frame but the first,
// which keeps the place of element 0 whatever its image descriptor says.
TEST(GifSplitter, OffsetsAreReadAfterTheFirstFrameOnly)
{
    const QByteArray file = gifs::animated(400, 400, {{5, 6, 1, 1, 10, -1, {}}, {7, 10, 1, 1, 10, -1, {}},
                                                      {0x0102, 0x0304, 1, 1, 10, -1, {}}});
    const auto split = splitGif(file);
    ASSERT_EQ(split.frames.size(), 3u);
    EXPECT_EQ(split.frames[0].left, 0);
    EXPECT_EQ(split.frames[0].top, 0);
    EXPECT_EQ(split.frames[1].left, 7);
    EXPECT_EQ(split.frames[1].top, 10);
    EXPECT_EQ(split.frames[2].left, 258);
    EXPECT_EQ(split.frames[2].top, 772);
}

// Without any marker the header is byte 1 alone and the one chunk is bytes 2 to L-2; its
// "delay" is then built from the version letters "9a" of the signature.
TEST(GifSplitter, NoMarkerGivesOneFrameAndTheSignatureAsDelay)
{
    // The global colour table ends with 0xFF, so the graphic control extension is not found.
    const QByteArray file = gifs::header(4, 4) + gifs::frameBlocks({0, 0, 2, 2, 20, -1, {}}) + bytes({0x3B});
    const auto split = splitGif(file);

    EXPECT_EQ(split.header, QByteArray("G"));
    ASSERT_EQ(split.frames.size(), 1u);
    EXPECT_EQ(split.frames[0].chunk, file.mid(1).chopped(2));
    EXPECT_EQ(split.frameFile(0), file.chopped(2));
    EXPECT_EQ(split.frames[0].delayMs, 248890);
}

// The search does not parse: 00 21 F9 inside image data is a frame boundary like any other.
TEST(GifSplitter, MarkerInsideImageDataSplits)
{
    const QByteArray data = bytes({0x02, 0x10,                                  // code size, 16 bytes
                                   0x44, 0x00, 0x21, 0xF9, 0x09, 0x08, 0x07, 0x06, // ... 00 21 F9 ...
                                   0x05, 0x04, 0x03, 0x02, 0x01, 0x0B, 0x0C, 0x0D, 0x00});
    const QByteArray file = prologue() + gifs::gce(10) + gifs::imageDescriptor(0, 0, 2, 2) + data + bytes({0x3B});
    const auto split = splitGif(file);

    ASSERT_EQ(split.frames.size(), 2u);
    EXPECT_TRUE(split.frames[0].chunk.endsWith(bytes({0x44, 0x00, 0x21})));
    EXPECT_EQ(split.frames[1].chunk, bytes({0xF9, 0x09, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0x0B, 0x0C, 0x0D}));
    EXPECT_EQ(split.frames[1].delayMs, (0x06 * 256 + 0x07) * 10);
    EXPECT_EQ(split.frames[1].left, 0x01 * 256 + 0x02);
    EXPECT_EQ(split.frames[1].top, 0x0C * 256 + 0x0B);
}

// A comment between a graphic control extension and its image descriptor moves the image
// position out of chunk bytes 9 to 12: what is read there is the comment.
TEST(GifSplitter, ExtensionBeforeTheImageDescriptorShiftsTheOffsets)
{
    const QByteArray second = gifs::gce(10) + gifs::comment("abcd") + gifs::imageDescriptor(7, 10, 1, 1) +
                              gifs::imageData({1});
    const QByteArray file = prologue() + gifs::frameBlocks({0, 0, 1, 1, 10, -1, {}}) + second + bytes({0x3B});
    const auto split = splitGif(file);

    ASSERT_EQ(split.frames.size(), 2u);
    // Chunk bytes 8 to 12: 21 FE 04 'a' 'b'.
    EXPECT_EQ(split.frames[1].left, 0x04 * 256 + 0xFE);
    EXPECT_EQ(split.frames[1].top, 'b' * 256 + 'a');
}

// Extensions before the first frame repeat in every frame file; one after a frame's image
// data (00 21 FE is no marker) stays in that frame's chunk.
TEST(GifSplitter, ExtensionsStayWhereTheBytesPutThem)
{
    const QByteArray before = gifs::comment("before");
    const QByteArray after = gifs::comment("after");
    const QByteArray file = gifs::header(4, 4) + gifs::netscapeLoop() + before +
                            gifs::frameBlocks({0, 0, 1, 1, 10, -1, {}}) + after +
                            gifs::frameBlocks({1, 1, 1, 1, 10, -1, {}}) + bytes({0x3B});
    const auto split = splitGif(file);

    ASSERT_EQ(split.frames.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k)
        EXPECT_TRUE(split.frameFile(k).startsWith(gifs::header(4, 4) + gifs::netscapeLoop() + before));
    EXPECT_TRUE(split.frames[0].chunk.contains(after.mid(1)));
    EXPECT_FALSE(split.frames[1].chunk.contains(after.mid(1)));
}

// Too few bytes for a frame's fields stop the cut there: fewer than 5 for the delay, fewer
// than 12 for the offsets of a later frame. The first frame needs no offsets.
TEST(GifSplitter, ChunkTooShortStopsTheCut)
{
    // Two markers back to back: chunk F9 00 21.
    const auto adjacent = splitGif(prologue() + bytes({0x21, 0xF9, 0x00}) + gifs::frameBlocks({}) + bytes({0x3B}));
    EXPECT_TRUE(adjacent.chunkTooShort);
    EXPECT_TRUE(adjacent.frames.empty());

    // A second frame of 5 bytes: F9 04 00 0A 00.
    const QByteArray twoFrames = prologue() + gifs::frameBlocks({}) + bytes({0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x3B});
    const auto second = splitGif(twoFrames);
    EXPECT_TRUE(second.chunkTooShort);
    EXPECT_EQ(second.frames.size(), 1u);

    // A first frame of 6 bytes is enough: F9 04 00 14 00 01.
    const auto first = splitGif(prologue() + bytes({0x21, 0xF9, 0x04, 0x00, 0x14, 0x00, 0x01, 0x00, 0x3B}));
    EXPECT_FALSE(first.chunkTooShort);
    ASSERT_EQ(first.frames.size(), 1u);
    EXPECT_EQ(first.frames[0].delayMs, 200);
}

// A last marker with fewer than two bytes after it gives no last frame, and files of up to
// three bytes give none at all: neither is a failure.
TEST(GifSplitter, NothingAfterTheLastMarkerGivesNoLastFrame)
{
    for (const QByteArray& tail : {bytes({0x21, 0xF9}), bytes({0x21, 0xF9, 0x04})}) {
        const auto split = splitGif(prologue() + tail);
        EXPECT_TRUE(split.frames.empty());
        EXPECT_FALSE(split.chunkTooShort);
    }
    const auto withFrame = splitGif(prologue() + gifs::frameBlocks({}) + bytes({0x21, 0xF9}));
    EXPECT_EQ(withFrame.frames.size(), 1u);

    for (const char* tiny : {"", "G", "GI", "GIF"}) {
        const auto split = splitGif(QByteArray(tiny));
        EXPECT_TRUE(split.frames.empty()) << tiny;
        EXPECT_FALSE(split.chunkTooShort) << tiny;
    }
    EXPECT_TRUE(splitGif(QByteArray("GIF8")).chunkTooShort);
}
