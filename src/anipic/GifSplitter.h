// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <vector>

namespace anipic {

// One frame of an animated GIF as the loader cuts it: no GIF parsing, only a byte search for
// 00 21 F9 (a block terminator, then the introducer and label of a graphic control extension).
struct GifFrame {
    // From the frame's 0xF9 label up to the 00 21 of the next marker; for the last frame, up to
    // the file's end less its last two bytes.
    QByteArray chunk;
    // Chunk bytes 4 and 5 (counted from 1), little-endian hundredths, times 10.
    std::int32_t delayMs = 0;
    // Chunk bytes 9 to 12, where the image descriptor's left and top lie when it follows the
    // graphic control extension directly. Not read for the first frame, which stays in place.
    int left = 0;
    int top = 0;
};

struct GifSplit {
    // Everything before the first marker, plus that marker's 00 21; the first byte alone when
    // the file has no marker. It starts every frame file.
    QByteArray header;
    std::vector<GifFrame> frames;
    // The frame after the last one in `frames` has too few bytes for its fields (fewer than 5,
    // or fewer than 12 after the first frame); the cut stopped there.
    bool chunkTooShort = false;

    // The one-image GIF stream of frame i: the header, then the chunk, no trailer added.
    QByteArray frameFile(std::size_t i) const { return header + frames[i].chunk; }
};

// Cuts the bytes of an animated GIF file into frames.
GifSplit splitGif(QByteArrayView file);

} // namespace anipic
