// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

namespace anipic {

// Where the first image of a GIF stream lies on the logical screen, from its image
// descriptor, walking the blocks as Qt's GIF reader does; nullopt when no image descriptor
// comes before the stream ends, a trailer or a byte that starts no block.
std::optional<QRect> firstImageRect(QByteArrayView gif);

// Decodes the first image of a one-image GIF stream held in memory, with or without its
// final terminator and trailer, into a picture of the image's own size. Transparent pixels
// stay transparent. The decoded logical screen and the picture are paid for from
// pixelBudget, checked before anything is decoded. nullopt when the stream is rejected, the
// image is empty or the budget does not cover the cost.
std::optional<QImage> decodeFrame(const QByteArray& frameFile, qint64& pixelBudget);

struct DecodedFrame {
    QImage picture;
    std::int32_t delayMs = 0;
    int left = 0; // offset in pixels from the first frame; 0 for the first frame itself
    int top = 0;
};

// Every frame of an animated GIF file: cut, then decoded one by one from memory, all from
// one budget of kDecodePixelBudget. nullopt when the file has more than kMaxGifFrames frames
// or any frame cannot be had (a chunk too short, a frame the decoder rejects, the budget
// spent); an empty vector when the file is too short to hold a frame.
std::optional<std::vector<DecodedFrame>> decodeGifFrames(QByteArrayView file);

// The largest animated GIF file read at all. The game's own are a few kilobytes; a file of
// tens of megabytes would freeze the window while it is read and cut.
constexpr qint64 kMaxGifFileBytes = 4 * 1024 * 1024;

// What decoding one file may cost in all, in pixels: every frame's logical screen (the
// reader decodes each frame onto a whole one) plus its picture. So a few kilobytes of frames
// on a huge screen cannot cost seconds and gigabytes. 8 M pixels (32 MB) is some eighty
// times what the game's own animations take.
constexpr qint64 kDecodePixelBudget = 8 * 1024 * 1024;

// The most frames a file may have. Each frame becomes a control of its window, and opening,
// playing and closing the window cost time for each: the pixel budget alone would let a file
// of 1 x 1 frames hold hundreds of thousands. The game's own have about twenty.
constexpr std::size_t kMaxGifFrames = 256;

} // namespace anipic
