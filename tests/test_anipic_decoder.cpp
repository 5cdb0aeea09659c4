// SPDX-License-Identifier: GPL-3.0-or-later
#include "anipic/GifFrameDecoder.h"
#include "anipic/GifSplitter.h"
#include "test_anipic_gifs.h"

#include <gtest/gtest.h>

using anipic::decodeFrame;
using anipic::decodeGifFrames;
using anipic::firstImageRect;
using gifs::bytes;

namespace {

std::optional<QImage> decode(const QByteArray& frameFile)
{
    qint64 plenty = 64 * 1024 * 1024;
    return decodeFrame(frameFile, plenty);
}

std::vector<QRgb> pixels(const QImage& img)
{
    std::vector<QRgb> out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            out.push_back(img.pixel(x, y));
    return out;
}

} // namespace

// The image rectangle is found past the colour table and any extensions, the way Qt's reader
// walks the blocks, so the cut-out is the image the reader drew.
TEST(GifFrameDecoder, FirstImageRectWalksToTheFirstImageDescriptor)
{
    const QByteArray file = gifs::header(16, 16) + gifs::netscapeLoop() + gifs::comment("x") +
                            gifs::frameBlocks({3, 4, 5, 6, 10, -1, {}}) + gifs::frameBlocks({0, 0, 1, 1, 10, -1, {}});
    EXPECT_EQ(firstImageRect(file), QRect(3, 4, 5, 6));

    // A graphic control extension whose first block has size 0: the reader still reads a
    // block size after it.
    const QByteArray emptyGce = gifs::header(4, 4) + bytes({0x21, 0xF9, 0x00, 0x00}) +
                                gifs::imageDescriptor(1, 1, 2, 2) + gifs::imageData({1, 2, 3, 0});
    EXPECT_EQ(firstImageRect(emptyGce), QRect(1, 1, 2, 2));
    const auto picture = decode(emptyGce);
    ASSERT_TRUE(picture);
    EXPECT_EQ(pixels(*picture), (std::vector<QRgb>{gifs::kRed, gifs::kGreen, gifs::kBlue, gifs::kBlack}));

    EXPECT_FALSE(firstImageRect(gifs::header(4, 4) + gifs::netscapeLoop()));
    EXPECT_FALSE(firstImageRect(gifs::header(4, 4) + bytes({0x3B}) + gifs::imageDescriptor(0, 0, 1, 1)));
    EXPECT_FALSE(firstImageRect(gifs::header(4, 4) + bytes({0x55}) + gifs::imageDescriptor(0, 0, 1, 1)));
    EXPECT_FALSE(firstImageRect(gifs::header(4, 4) + bytes({0x2C, 0x00, 0x00})));
    EXPECT_FALSE(firstImageRect(QByteArray("GIF89a")));
}

// Every frame file, the ones that end in 00 21 and the last one without terminator and
// trailer, decodes to the image's own size and colours, not the logical screen's.
TEST(GifFrameDecoder, EachFrameFileDecodesToItsOwnImage)
{
    const std::vector<gifs::Frame> frames = {
        {0, 0, 4, 3, 10, -1, {0, 1, 2, 3, 1, 2, 3, 0, 2, 3, 0, 1}},
        {7, 10, 3, 2, 10, -1, {3, 3, 3, 1, 1, 1}},
        {1, 2, 2, 2, 10, -1, {2, 0, 0, 2}},
    };
    const QByteArray file = gifs::animated(12, 14, frames);
    const auto split = anipic::splitGif(file);
    ASSERT_EQ(split.frames.size(), 3u);

    const QRgb palette[] = {gifs::kBlack, gifs::kRed, gifs::kGreen, gifs::kBlue};
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const auto picture = decode(split.frameFile(k));
        ASSERT_TRUE(picture) << "frame " << k + 1;
        EXPECT_EQ(picture->size(), QSize(frames[k].width, frames[k].height));
        std::vector<QRgb> expected;
        for (std::uint8_t i : frames[k].pixels)
            expected.push_back(palette[i]);
        EXPECT_EQ(pixels(*picture), expected) << "frame " << k + 1;
    }
}

// The transparent index of the frame's own graphic control extension stays see-through, so
// earlier frames show through a partial frame.
TEST(GifFrameDecoder, TransparencyIsKept)
{
    const QByteArray file = gifs::animated(4, 4, {{0, 0, 1, 1, 10, -1, {}}, {1, 1, 3, 1, 10, 2, {2, 1, 2}}});
    const auto frames = decodeGifFrames(file);
    ASSERT_TRUE(frames);
    ASSERT_EQ(frames->size(), 2u);
    const QImage& p = (*frames)[1].picture;
    ASSERT_EQ(p.size(), QSize(3, 1));
    EXPECT_EQ(qAlpha(p.pixel(0, 0)), 0);
    EXPECT_EQ(p.pixel(1, 0), gifs::kRed);
    EXPECT_EQ(qAlpha(p.pixel(2, 0)), 0);
    EXPECT_TRUE((*frames)[0].picture.pixel(0, 0) == gifs::kRed);
}

// What the reader cannot draw or will not take fails cleanly: no image at all, an empty
// image, a decoding the budget does not cover. A part of the image off the logical screen
// comes out empty, at the image's own size all the same.
TEST(GifFrameDecoder, RejectsWhatItCannotDecode)
{
    EXPECT_FALSE(decode(gifs::header(4, 4) + gifs::netscapeLoop() + bytes({0x21})));
    EXPECT_FALSE(decode(QByteArray("not a gif at all")));
    EXPECT_FALSE(decode(gifs::header(4, 4) + gifs::imageDescriptor(0, 0, 0, 3) + gifs::imageData({1})));

    const QByteArray big = gifs::header(100, 100) + gifs::imageDescriptor(0, 0, 100, 100) +
                           gifs::imageData(std::vector<std::uint8_t>(10000, 1));
    qint64 picture = 100 * 100 * 2 - 1;
    EXPECT_FALSE(decodeFrame(big, picture));
    EXPECT_EQ(picture, 100 * 100 * 2 - 1); // refused before decoding

    const QByteArray offScreen = gifs::header(2, 2) + gifs::gce(0, 0) + gifs::imageDescriptor(1, 0, 3, 1) +
                                 gifs::imageData({1, 2, 3});
    const auto off = decode(offScreen);
    ASSERT_TRUE(off);
    EXPECT_EQ(off->size(), QSize(3, 1));
    EXPECT_EQ(off->pixel(0, 0), gifs::kRed);
    EXPECT_EQ(qAlpha(off->pixel(2, 0)), 0);
}

// Each frame is decoded onto the whole logical screen: a 1 x 1 image on a 100 x 100 screen
// costs the screen's pixels as well as the picture's, checked before decoding. So a file of
// a few such frames on a huge screen runs out of the file's pixel budget instead of costing
// seconds and hundreds of megabytes.
TEST(GifFrameDecoder, ThePixelBudgetPaysForTheScreenAndThePicture)
{
    const QByteArray dot = gifs::header(100, 100) + gifs::imageDescriptor(0, 0, 1, 1) + gifs::imageData({1});
    qint64 exact = 100 * 100 + 1;
    EXPECT_TRUE(decodeFrame(dot, exact));
    EXPECT_EQ(exact, 0);
    qint64 less = 100 * 100;
    EXPECT_FALSE(decodeFrame(dot, less));
    EXPECT_EQ(less, 100 * 100) << "refused before decoding";

    // One frame on a 2048 x 2048 screen fits the file's budget; a second one does not.
    auto onHugeScreen = [](int n) {
        return gifs::animated(2048, 2048, std::vector<gifs::Frame>(static_cast<std::size_t>(n), gifs::Frame{}));
    };
    ASSERT_LT(2048 * 2048 + 1, anipic::kDecodePixelBudget);
    ASSERT_GT(2 * (2048 * 2048 + 1), anipic::kDecodePixelBudget);
    EXPECT_TRUE(decodeGifFrames(onHugeScreen(1)));
    EXPECT_FALSE(decodeGifFrames(onHugeScreen(2)));
}

// A whole file gives all its frames or none: one bad frame, or a chunk too short, fails
// the lot, so a load never applies half a file.
TEST(GifFrameDecoder, DecodeGifFramesIsAllOrNothing)
{
    const QByteArray good = gifs::animatedN(3);
    const auto frames = decodeGifFrames(good);
    ASSERT_TRUE(frames);
    ASSERT_EQ(frames->size(), 3u);
    EXPECT_EQ((*frames)[2].delayMs, 200);
    EXPECT_EQ((*frames)[2].left, 2);

    // Frame 2's image descriptor replaced by a byte that starts no block.
    QByteArray bad = gifs::header(4, 4) + gifs::netscapeLoop() + gifs::frameBlocks({}) + gifs::gce(10) +
                     bytes({0x77}) + gifs::imageDescriptor(0, 0, 1, 1).mid(1) + gifs::imageData({1}) + bytes({0x3B});
    EXPECT_EQ(anipic::splitGif(bad).frames.size(), 2u);
    EXPECT_FALSE(decodeGifFrames(bad));

    EXPECT_FALSE(decodeGifFrames(gifs::header(4, 4) + gifs::netscapeLoop() + bytes({0x21, 0xF9, 0x00}) +
                                 gifs::frameBlocks({}) + bytes({0x3B})));
    const auto none = decodeGifFrames(QByteArray("GIF"));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}

// When the first marker is not found, the first image sits in the header of every frame
// file: that image is what the decoder shows, with the delay of the frame after it.
TEST(GifFrameDecoder, UnfoundFirstMarkerShowsTheFirstImage)
{
    const QByteArray file = gifs::header(4, 4) + gifs::frameBlocks({0, 0, 2, 1, 20, -1, {3, 3}}) +
                            gifs::frameBlocks({1, 1, 1, 1, 30, -1, {1}}) + bytes({0x3B});
    EXPECT_EQ(anipic::splitGif(file).header.size(), file.size() - gifs::frameBlocks({1, 1, 1, 1, 30, -1, {1}}).size());
    const auto frames = decodeGifFrames(file);
    ASSERT_TRUE(frames);
    ASSERT_EQ(frames->size(), 1u);
    EXPECT_EQ((*frames)[0].picture.size(), QSize(2, 1));
    EXPECT_EQ((*frames)[0].picture.pixel(0, 0), gifs::kBlue);
    EXPECT_EQ((*frames)[0].delayMs, 300);
}
