// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the GIF frame cutter and the decoding of every frame it cuts.
#include "GifFramesCheck.h"

#include <QImageReader>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The reader's warnings about odd files would drown the fuzzer's own output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Canvases of the logical screen's size are allocated before any pixel is read: keep
    // them small so an input costs memory in proportion to its bytes, not its header.
    QImageReader::setAllocationLimit(4);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto broken = checkGifFrames(data, size)) {
        std::fprintf(stderr, "GIF frames: %s\n", broken->c_str());
        std::abort();
    }
    return 0;
}
