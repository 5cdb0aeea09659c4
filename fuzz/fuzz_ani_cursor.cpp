// SPDX-License-Identifier: GPL-3.0-or-later
// The cursor reader on arbitrary bytes: it must refuse what it cannot read, never read past
// the end, and give only steps that name existing frames.
#include "anipic/AniReader.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto cursor = ani::readCursor({data, size});
    if (!cursor)
        return 0;
    if (cursor->steps.size() != cursor->stepMs.size() || cursor->frames.empty())
        std::abort();
    for (int s : cursor->steps)
        if (s < 0 || static_cast<std::size_t>(s) >= cursor->frames.size())
            std::abort();
    for (const ani::Frame& f : cursor->frames)
        if (f.image.isNull() || !f.image.rect().contains(f.hotSpot))
            std::abort();
    return 0;
}
