// SPDX-License-Identifier: GPL-3.0-or-later
#include "GifFramesCheck.h"

#include "anipic/GifFrameDecoder.h"
#include "anipic/GifSplitter.h"

#include <algorithm>
#include <vector>

using namespace anipic;

namespace {

int at(const QByteArray& b, qsizetype i)
{
    return static_cast<unsigned char>(b[i]);
}

std::optional<std::string> checkSplit(QByteArrayView file, const GifSplit& split)
{
    static const QByteArray marker("\x00\x21\xF9", 3);
    static const QByteArray tail("\x00\x21", 2);

    QByteArray joined = split.header;
    for (const GifFrame& f : split.frames)
        joined += f.chunk;
    if (!file.startsWith(joined))
        return "header and chunks are not the start of the file";
    if (!split.chunkTooShort && file.size() - joined.size() > 2)
        return "more than the last two bytes left out";

    const qsizetype markers = QByteArray(file.data(), file.size()).count(marker);
    if (static_cast<qsizetype>(split.frames.size()) > std::max<qsizetype>(markers, 1))
        return "more frames than markers";
    if (markers > 0 && !split.header.endsWith(tail))
        return "header does not end with the marker's 00 21";

    for (std::size_t i = 0; i < split.frames.size(); ++i) {
        const QByteArray& c = split.frames[i].chunk;
        if (c.size() < 5 || (i > 0 && c.size() < 12))
            return "chunk shorter than its fields";
        if (markers > 0 && at(c, 0) != 0xF9)
            return "chunk does not start at a graphic-control label";
        const bool last = i + 1 == split.frames.size();
        if ((!last || split.chunkTooShort) && !c.endsWith(tail))
            return "inner chunk does not end with the next marker's 00 21";
        if (split.frames[i].delayMs != (at(c, 4) * 256 + at(c, 3)) * 10)
            return "delay not read from chunk bytes 4 and 5";
        if (i > 0 && (split.frames[i].left != at(c, 9) * 256 + at(c, 8) ||
                      split.frames[i].top != at(c, 11) * 256 + at(c, 10)))
            return "offsets not read from chunk bytes 9 to 12";
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> checkGifFrames(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView file(data, static_cast<qsizetype>(size));
    const GifSplit split = splitGif(file);
    if (auto broken = checkSplit(file, split))
        return broken;

    // Every frame on its own, also past one the decoder rejects, from one budget as for a
    // whole file. Only the sizes are kept.
    std::vector<std::optional<QSize>> single;
    qint64 budget = kDecodePixelBudget;
    for (std::size_t i = 0; i < split.frames.size(); ++i) {
        const QByteArray frameFile = split.frameFile(i);
        const std::optional<QImage> picture = decodeFrame(frameFile, budget);
        single.push_back(picture ? std::optional<QSize>(picture->size()) : std::nullopt);
        if (!picture) {
            // A whole file stops at its first rejected frame; going on, count what a rejected
            // frame may have cost at most, a whole screen, so many of them stay cheap too.
            budget -= kDecodePixelBudget / 4;
            continue;
        }
        const std::optional<QRect> rect = firstImageRect(frameFile);
        if (!rect || picture->size() != rect->size())
            return "picture not of its image's size";
    }

    const auto frames = decodeGifFrames(file);
    if (!frames)
        return std::nullopt;
    if (split.chunkTooShort || frames->size() != split.frames.size())
        return "decoded a file that does not cut cleanly";
    for (std::size_t i = 0; i < frames->size(); ++i) {
        const DecodedFrame& f = (*frames)[i];
        if (!single[i] || f.picture.size() != *single[i] || f.delayMs != split.frames[i].delayMs)
            return "whole-file decoding differs from frame-by-frame decoding";
    }
    return std::nullopt;
}
