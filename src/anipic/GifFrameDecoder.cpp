// SPDX-License-Identifier: GPL-3.0-or-later
#include "anipic/GifFrameDecoder.h"

#include "anipic/GifSplitter.h"
#include "base/LittleEndian.h"

#include <QBuffer>
#include <QImageReader>

namespace anipic {

namespace {

int u8(QByteArrayView b, qsizetype i)
{
    return static_cast<unsigned char>(b[i]);
}

int u16(QByteArrayView b, qsizetype i)
{
    return le::u16(b.data() + i);
}

} // namespace

std::optional<QRect> firstImageRect(QByteArrayView gif)
{
    const qsizetype n = gif.size();
    // Signature (6 bytes), then the logical screen descriptor (7 bytes).
    if (n < 13)
        return std::nullopt;
    const int screenFlags = u8(gif, 10);
    qsizetype i = 13;
    if (screenFlags & 0x80)
        i += 3 * (2 << (screenFlags & 0x07));

    // Stops as soon as a size byte lies past the end: i only grows, by at most 256 a step.
    auto skipSubBlocks = [&]() {
        while (i < n) {
            const int size = u8(gif, i++);
            if (size == 0)
                return true;
            i += size;
        }
        return false;
    };

    while (i < n) {
        const int introducer = u8(gif, i++);
        if (introducer == 0x2C) {
            if (i + 9 > n)
                return std::nullopt;
            return QRect(u16(gif, i), u16(gif, i + 2), u16(gif, i + 4), u16(gif, i + 6));
        }
        if (introducer != 0x21 || i >= n)
            return std::nullopt;
        const int label = u8(gif, i++);
        // Qt reads the first block of a graphic control or application extension by its
        // size byte even when that is 0, and only then looks for the terminator.
        if (label == 0xF9 || label == 0xFF) {
            if (i >= n)
                return std::nullopt;
            i += 1 + u8(gif, i);
        }
        if (!skipSubBlocks())
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QImage> decodeFrame(const QByteArray& frameFile, qint64& pixelBudget)
{
    const std::optional<QRect> rect = firstImageRect(frameFile);
    if (!rect || rect->isEmpty())
        return std::nullopt;
    // The reader draws onto the logical screen, or onto the image's own size when the screen
    // says 0; the picture is cut out of that.
    const qint64 imagePixels = qint64(rect->width()) * rect->height();
    const qint64 screenWidth = u16(frameFile, 6), screenHeight = u16(frameFile, 8);
    const qint64 screenPixels = screenWidth > 0 && screenHeight > 0 ? screenWidth * screenHeight : imagePixels;
    if (screenPixels + imagePixels > pixelBudget)
        return std::nullopt;

    QBuffer buffer;
    buffer.setData(frameFile);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    reader.setAutoDetectImageFormat(false);
    QImage screen;
    if (!reader.read(&screen))
        return std::nullopt;

    // The reader returns the whole logical screen with the image drawn at its place and the
    // rest filled as it sees fit; the picture is the image's own rectangle. Parts of it off
    // the screen, which the reader does not draw, come out transparent (or black).
    pixelBudget -= qint64(screen.width()) * screen.height();
    QImage picture = screen.copy(*rect);
    pixelBudget -= qint64(picture.width()) * picture.height();
    if (picture.isNull() || pixelBudget < 0)
        return std::nullopt;
    return picture;
}

std::optional<std::vector<DecodedFrame>> decodeGifFrames(QByteArrayView file)
{
    // The cut makes at least one frame fewer than the file has markers: a file of too many is
    // refused before hundreds of thousands of chunks are copied out.
    const QByteArrayView marker("\x00\x21\xF9", 3);
    std::size_t markers = 0;
    for (qsizetype at = file.indexOf(marker); at >= 0 && markers <= kMaxGifFrames + 1; at = file.indexOf(marker, at + 1))
        ++markers;
    if (markers > kMaxGifFrames + 1)
        return std::nullopt;
    const GifSplit split = splitGif(file);
    if (split.chunkTooShort || split.frames.size() > kMaxGifFrames)
        return std::nullopt;

    std::vector<DecodedFrame> frames;
    frames.reserve(split.frames.size());
    qint64 budget = kDecodePixelBudget;
    for (std::size_t i = 0; i < split.frames.size(); ++i) {
        std::optional<QImage> picture = decodeFrame(split.frameFile(i), budget);
        if (!picture)
            return std::nullopt;
        const GifFrame& f = split.frames[i];
        frames.push_back({std::move(*picture), f.delayMs, f.left, f.top});
    }
    return frames;
}

} // namespace anipic
