// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "anipic/ImageArray.h"
#include "platform/WindowTimer.h"

#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>

// The hidden window that turns animated GIF files into stacks of image controls and plays
// them: one timer and one set of counters for the About and the Help window.
//
// A host window wires itself like this:
//   constructor: AnimatedGIF = new ImageArray(label0, this);  aniGif.AnimatedGIF = AnimatedGIF;
//   activation:  aniGif.LoadAniGif("Vorlin107_rsc\\email00.gif", *AnimatedGIF);
//                aniGif.setIntervalFromTag(*AnimatedGIF);
//   unload:      aniGif.TimerAniGif->setInterval(0);  aniGif.UnloadAniGif(*AnimatedGIF);
class AniGif {
public:
    explicit AniGif(platform::TimerClock& clock);

    // Rebuilds xImgArray from the GIF file xFile (a path as the game writes it, relative to
    // the current directory, or absolute): frame k in element k - 1, elements 1 and up new,
    // hidden and stacked in order, each frame's delay in its Tag. Then resets both counters
    // and sets both totals to the array's element count. A file that cannot be read or cut,
    // or a frame the decoder rejects, changes nothing: not the array, not the counters.
    void LoadAniGif(const QString& xFile, ImageArray& xImgArray);

    // Gives back what a load of xImgArray took: elements 1 and up go, element 0 loses its
    // picture, and the freed memory returns to the system. For a host that closes.
    void UnloadAniGif(ImageArray& xImgArray);

    // Sets TimerAniGif's interval to the number in the Tag of element 0 of xImgArray. A Tag
    // that is not a whole number from 0 to 65535 leaves the interval as it was (false).
    bool setIntervalFromTag(const ImageArray& xImgArray);

    // Reveals the next frame of every visible host; at the end of a cycle hides all frames
    // but the first.
    void TimerAniGif_Tick();

    // Always enabled; interval 0 (stopped) until a host sets one.
    std::unique_ptr<platform::WindowTimer> TimerAniGif;

    // The arrays the tick plays, the About window's first. Null, or their host hidden, while
    // the window is not open: its counter then does not move.
    QPointer<ImageArray> AnimatedGIF;
    QPointer<ImageArray> AnimatedGIF1;

    // Next element to reveal and the count at which it wraps: About, then Help.
    std::int32_t FrameCount = 0;
    std::int32_t TotalFrames = 0;
    std::int32_t FrameCount1 = 0;
    std::int32_t TotalFrames1 = 0;
};
