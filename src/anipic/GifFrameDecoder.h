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
// stay transparent. The decoded logical screen and the picture are paid for from budget
// (bytes). nullopt when the stream is rejected, the image is empty or the budget does not
// cover the cost.
std::optional<QImage> decodeFrame(const QByteArray& frameFile, qint64& budget);

struct DecodedFrame {
    QImage picture;
    std::int32_t delayMs = 0;
    int left = 0; // offset in pixels from the first frame; 0 for the first frame itself
    int top = 0;
};

// Every frame of an animated GIF file: cut, then decoded one by one from memory, all from
// one budget of decodeBudgetBytes(). nullopt when any frame cannot be had (a chunk too
// short, a frame the decoder rejects, the budget spent); an empty vector when the file is
// too short to hold a frame.
std::optional<std::vector<DecodedFrame>> decodeGifFrames(QByteArrayView file);

// What decoding one file may cost in all: four times the image reader's own allocation
// limit. The reader decodes each frame onto a whole logical screen, so without a bound for
// the file a few kilobytes of frames on a huge screen would cost seconds and gigabytes.
qint64 decodeBudgetBytes();

} // namespace anipic
