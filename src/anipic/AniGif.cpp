// SPDX-License-Identifier: GPL-3.0-or-later
#include "anipic/AniGif.h"

#include "anipic/GifFrameDecoder.h"
#include "platform/BoundedFile.h"
#include "base/Paths.h"
#include "base/Units.h"


#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// One animation step of a host. The totals come from whichever window loaded last, so a
// total can be larger than this array: the counter also wraps at the array's own end.
void advance(ImageArray* array, std::int32_t& frame, std::int32_t total)
{
    if (!array || !array->host() || !array->host()->isVisible())
        return;
    const int n = array->count();
    if (frame < 0 || frame >= n)
        frame = 0;
    // Only the revealed frame is painted, and the wrap clears the stack at once: a tick's
    // cost does not grow with the number of frames.
    array->setShown(frame, true);
    ++frame;
    if (frame == total || frame >= n) {
        frame = 0;
        array->hideAdded();
    }
}

} // namespace

AniGif::AniGif(platform::TimerClock& clock) : TimerAniGif(clock.createTimer())
{
    TimerAniGif->onTick = [this] { TimerAniGif_Tick(); };
    TimerAniGif->setInterval(0);
    TimerAniGif->setEnabled(true);
}

void AniGif::LoadAniGif(const QString& xFile, ImageArray& xImgArray)
{
    if (!xImgArray.element(0))
        return;

    // Only a regular file of a sane size is read: a FIFO of that name would hang the game
    // and a link to a device would be read until memory ran out.
    const std::optional<QByteArray> bytes = platform::readRegularFile(paths::currentDirPath(xFile), anipic::kMaxGifFileBytes);
    if (!bytes)
        return;

    // Every frame is cut and decoded in memory before the array is touched: each frame's
    // bytes go to the decoder through a buffer, never through a file of fixed name in the
    // current directory (which could be a user's own file, or not writable). So a failure
    // leaves the host showing what it showed, with counters that still match its array.
    const std::optional<std::vector<anipic::DecodedFrame>> frames = anipic::decodeGifFrames(*bytes);
    if (!frames)
        return;

    // No yield to the event loop while the array is rebuilt, nor between frames before: a
    // load of a few small frames takes milliseconds, and a yield here would let a timer tick
    // see a half-built array, a second activation start a nested load, or the host close
    // under the loader. The tick is bounded by the array's own count all the same.
    xImgArray.removeAdded();
    const int left0 = xImgArray.left(0);
    const int top0 = xImgArray.top(0);
    for (std::size_t k = 0; k < frames->size(); ++k) {
        const anipic::DecodedFrame& f = (*frames)[k];
        int x = 0;
        if (k > 0) {
            x = xImgArray.add();
            // Offsets in pixels at a fixed 15 twips each, whatever the screen.
            xImgArray.move(x, left0 + f.left * units::kTwipsPerPixel, top0 + f.top * units::kTwipsPerPixel);
        }
        xImgArray.setTag(x, QString::number(f.delayMs));
        xImgArray.setPicture(x, f.picture);
    }

    FrameCount = 0;
    FrameCount1 = 0;
    TotalFrames = xImgArray.count();
    TotalFrames1 = xImgArray.count();
}

void AniGif::UnloadAniGif(ImageArray& xImgArray)
{
    xImgArray.removeAdded();
    xImgArray.setPicture(0, QImage());
    xImgArray.setTag(0, QString());
#if defined(__GLIBC__)
    // The pictures were freed into the heap, where they would stay for good: a window that
    // is closed must not leave the game larger than before it opened.
    malloc_trim(0);
#endif
}

bool AniGif::setIntervalFromTag(const ImageArray& xImgArray)
{
    bool ok = false;
    const int ms = xImgArray.tag(0).trimmed().toInt(&ok);
    if (!ok || ms < 0 || ms > 65535)
        return false;
    TimerAniGif->setInterval(ms);
    return true;
}

void AniGif::TimerAniGif_Tick()
{
    advance(AnimatedGIF, FrameCount, TotalFrames);
    advance(AnimatedGIF1, FrameCount1, TotalFrames1);
}
