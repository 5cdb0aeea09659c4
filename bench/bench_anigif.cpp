// SPDX-License-Identifier: GPL-3.0-or-later
// Opening, playing and closing an animation: a load, a whole cycle of ticks and an unload,
// for the game's own sizes, the most frames a file may hold, and a file of the most 1 x 1
// frames the file-size cap lets through (refused). Each must stay well under a frame's time.
#include "anipic/AniGif.h"
#include "anipic/GifFrameDecoder.h"
#include "support/VirtualClock.h"
#include "test_anipic_gifs.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

QByteArray tinyFrames(std::size_t n)
{
    QByteArray out = gifs::header(1, 1) + gifs::netscapeLoop();
    const QByteArray frame = gifs::frameBlocks({});
    for (std::size_t k = 0; k < n; ++k)
        out += frame;
    return out + gifs::bytes({0x3B});
}

void BM_OpenPlayClose(benchmark::State& state)
{
    std::size_t frames = static_cast<std::size_t>(state.range(0));
    if (frames == 0) // the most the file-size cap lets through
        frames = static_cast<std::size_t>(anipic::kMaxGifFileBytes / gifs::frameBlocks({}).size()) - 2;
    QTemporaryDir dir;
    const QString path = dir.filePath("frames.gif");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(tinyFrames(frames));
    f.close();

    QWidget window;
    window.resize(400, 400);
    auto* label0 = new QLabel(&window);
    label0->setGeometry(24, 184, 50, 50);
    ImageArray array(label0);
    window.show();
    VirtualClock clock;
    AniGif ani(clock);
    ani.AnimatedGIF1 = &array;
    double open = 0, tick = 0, close = 0;
    int loaded = 1;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        ani.LoadAniGif(path, array);
        const auto t1 = Clock::now();
        loaded = array.count();
        for (int i = 0; i < loaded; ++i)
            ani.TimerAniGif_Tick();
        const auto t2 = Clock::now();
        ani.UnloadAniGif(array);
        const auto t3 = Clock::now();
        open += std::chrono::duration<double, std::milli>(t1 - t0).count();
        tick += std::chrono::duration<double, std::milli>(t2 - t1).count();
        close += std::chrono::duration<double, std::milli>(t3 - t2).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["open_ms"] = open / n;
    state.counters["cycle_ms"] = tick / n;
    state.counters["tick_ms"] = tick / n / loaded;
    state.counters["close_ms"] = close / n;
    state.SetLabel(std::to_string(frames) + " frames");
}
BENCHMARK(BM_OpenPlayClose)->Arg(20)->Arg(static_cast<long>(anipic::kMaxGifFrames))->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
