// SPDX-License-Identifier: GPL-3.0-or-later
#include "anipic/GifSplitter.h"

#include "base/LittleEndian.h"

#include <algorithm>

namespace anipic {

namespace {

constexpr char kMarker[] = {'\x00', '\x21', '\xF9'};
constexpr qsizetype kMarkerLength = 3;

// Positions below count from 1, as the cut is described byte by byte: the result 0 of a
// search that finds nothing takes part in the arithmetic.

// Position of the 00 of the first marker at or after `from`; 0 when there is none.
qsizetype findMarker(QByteArrayView file, qsizetype from)
{
    if (from > file.size())
        return 0;
    const qsizetype i = file.indexOf(QByteArrayView(kMarker, kMarkerLength), from - 1);
    return i < 0 ? 0 : i + 1;
}

// Frame f from bytes first..first+length-1 of the file; false when the chunk is too short
// for the fields that frame needs.
bool addFrame(GifSplit& out, int f, QByteArrayView file, qsizetype first, qsizetype length)
{
    GifFrame frame;
    frame.chunk = file.sliced(first - 1, length).toByteArray();
    const QByteArray& c = frame.chunk;
    if (c.size() < 5 || (f > 1 && c.size() < 12)) {
        out.chunkTooShort = true;
        return false;
    }
    frame.delayMs = le::u16(c.data() + 3) * 10; // bytes 4 and 5
    if (f > 1) {
        frame.left = le::u16(c.data() + 8); // bytes 9 and 10
        frame.top = le::u16(c.data() + 10); // bytes 11 and 12
    }
    out.frames.push_back(std::move(frame));
    return true;
}

} // namespace

GifSplit splitGif(QByteArrayView file)
{
    GifSplit out;
    const qsizetype L = file.size();

    const qsizetype first = findMarker(file, 1);
    out.header = file.first(std::min(first + 1, L)).toByteArray();
    qsizetype s = first + kMarkerLength;

    int f = 0;
    qsizetype e = 0;
    do {
        ++f;
        const qsizetype m = findMarker(file, s);
        e = m + kMarkerLength;
        if (e > kMarkerLength) {
            if (!addFrame(out, f, file, s - 1, e - s))
                return out;
            s = e;
        }
    } while (e != kMarkerLength);

    // The last frame leaves out the file's last two bytes, normally the final block
    // terminator and the trailer.
    if (s < L)
        addFrame(out, f, file, s - 1, L - s);
    return out;
}

} // namespace anipic
