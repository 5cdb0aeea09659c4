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
// stay transparent. nullopt when the stream is rejected, the image is empty or the picture
// would take more than maxBytes.
std::optional<QImage> decodeFrame(const QByteArray& frameFile, qint64 maxBytes);

struct DecodedFrame {
    QImage picture;
    std::int32_t delayMs = 0;
    int left = 0; // offset in pixels from the first frame; 0 for the first frame itself
    int top = 0;
};

// Every frame of an animated GIF file: cut, then decoded one by one from memory. nullopt
// when any frame cannot be had (a chunk too short, a frame the decoder rejects, pictures
// beyond the memory budget); an empty vector when the file is too short to hold a frame.
std::optional<std::vector<DecodedFrame>> decodeGifFrames(QByteArrayView file);

// What the pictures of one file may take in all, in bytes: the image reader's own
// allocation limit, so a file cannot hold more through many frames than through one.
qint64 pictureBudgetBytes();

} // namespace anipic
