// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of one movement tick (steer, step, pixel read, blob, label) must not depend on
// the size of the playfield, and a tick must repaint only the rectangle it changed.
#include "FakeHost.h"
#include "game/Game.h"
#include "support/VirtualClock.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

void BM_MovementTick(benchmark::State& state)
{
    Log log;
    FakeHost host(log);
    host.mode = 1;
    host.client = QSize(static_cast<int>(state.range(0)) + 20, static_cast<int>(state.range(1)) + 80);
    VirtualClock clock;
    FakeSound sound(log);
    FakeJoystick joystick;
    ModuleNom rec{QStringLiteral("   "), 0, 100};
    Game game(host, clock, sound, joystick, rec);
    game.PictureVorlin.setDrawWidth(static_cast<int>(state.range(2)));
    game.restart();
    game.PictureVorlin.refresh();
    game.CteRebour = 0;

    // Only what the ticks repaint is counted: the bench's own refresh of a full field, below,
    // is no part of a tick.
    long long painted = 0, repaints = 0;
    bool counting = true;
    game.PictureVorlin.onChanged = [&](const QRect& r) {
        if (!counting)
            return;
        painted += static_cast<long long>(r.width()) * r.height();
        ++repaints;
    };
    const int w = game.PictureVorlin.width(), h = game.PictureVorlin.height(), dw = game.PictureVorlin.drawWidth();
    // The first place of a row and of a column on the lattice the heads move on.
    const int x0 = game.X1 % dw, y0 = game.Y1 % dw;
    for (auto _ : state) {
        // Run along the rows, so every tick lands on a free place.
        if (game.X1 + dw >= w) {
            game.X1 = x0 - dw;
            game.Y1 += dw;
            if (game.Y1 >= h) {
                state.PauseTiming();
                counting = false;
                game.PictureVorlin.refresh();
                counting = true;
                game.Y1 = y0;
                state.ResumeTiming();
            }
        }
        game.Dir1 = 2;
        game.TimerVorlin1_Tick();
    }
    state.counters["px_per_repaint"] = repaints ? static_cast<double>(painted) / repaints : 0;
    state.SetLabel(std::to_string(w) + "x" + std::to_string(h) + " w" + std::to_string(dw));
}

} // namespace

BENCHMARK(BM_MovementTick)->Args({470, 250, 2})->Args({470, 250, 10})->Args({3790, 2070, 2})->Args({3790, 2070, 10});

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
