// SPDX-License-Identifier: GPL-3.0-or-later
// Figures from inside the process: the step period each speed reaches on real window timers,
// the time to build and expose the main window in a running application (start-up as a
// player sees it, from exec, is bench_startup), the CPU used while idle between games, and
// the time to load each animated picture.
#include "Fakes.h"
#include "anipic/AniGif.h"
#include "anipic/ImageArray.h"
#include "mainwindow/Form1.h"
#include "platform/SdlJoystick.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Two movement timers of one interval, as a two-player game runs them; the gaps between
// successive ticks of the black one.
void BM_StepPeriod(benchmark::State& state)
{
    const int interval = static_cast<int>(state.range(0));
    const int ticks = interval >= 100 ? 40 : 300;
    std::vector<double> gaps;
    for (auto _ : state) {
        platform::QtTimerClock clock;
        auto black = clock.createTimer();
        auto red = clock.createTimer();
        QElapsedTimer t;
        QEventLoop loop;
        qint64 last = -1;
        int n = 0;
        black->onTick = [&] {
            const qint64 now = t.nsecsElapsed();
            if (last >= 0)
                gaps.push_back((now - last) / 1e6);
            last = now;
            if (++n > ticks)
                loop.quit();
        };
        red->onTick = [] {};
        black->setInterval(interval);
        red->setInterval(interval);
        t.start();
        black->setEnabled(true);
        red->setEnabled(true);
        loop.exec();
    }
    std::sort(gaps.begin(), gaps.end());
    double sum = 0;
    for (double g : gaps) sum += g;
    state.counters["nominal_ms"] = std::max(interval, platform::WindowTimer::kFloorMs);
    state.counters["mean_ms"] = sum / gaps.size();
    state.counters["p99_ms"] = gaps[std::min(gaps.size() - 1, gaps.size() * 99 / 100)];
}

struct Fakes {
    Log log;
    platform::QtTimerClock clock;
    FakeSound sound{log};
    FakeMessageBox messages{log};
    platform::SdlJoystick joystick;
    FakeRandom random;
    ModuleNom rec;

    Services services() { return {clock, sound, messages, joystick, random}; }
};

// From creating the main window to its first exposure, inside an application already
// running (offscreen platform): not exec to window, which bench_startup measures.
void BM_MainWindowBuildToExposed(benchmark::State& state)
{
    for (auto _ : state) {
        Fakes f;
        QElapsedTimer t;
        t.start();
        Form1 form(f.services(), f.rec);
        form.Form_Load();
        form.show();
        while (!form.isVisible() || !form.windowHandle() || !form.windowHandle()->isExposed())
            QApplication::processEvents();
        QApplication::processEvents();
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
    }
}

// CPU per second of wall time while the window waits between games (the joystick poll runs).
void BM_IdleCpu(benchmark::State& state)
{
    Fakes f;
    Form1 form(f.services(), f.rec);
    form.Form_Load();
    form.show();
    for (auto _ : state) {
        const double c0 = cpuSeconds();
        QElapsedTimer t;
        t.start();
        QEventLoop loop;
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        loop.exec();
        state.counters["cpu_percent"] = 100.0 * (cpuSeconds() - c0) / (t.nsecsElapsed() / 1e9);
    }
}

void BM_LoadAniGif(benchmark::State& state, const char* file, int side)
{
    platform::QtTimerClock clock;
    AniGif ani(clock);
    QWidget host;
    auto* element0 = new QLabel(&host);
    element0->resize(side, side);
    ImageArray array(element0, &host);
    for (auto _ : state)
        ani.LoadAniGif(QString::fromLatin1(file), array);
    state.counters["frames"] = array.count();
}

} // namespace

BENCHMARK(BM_StepPeriod)->Arg(200)->Arg(100)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainWindowBuildToExposed)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleCpu)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadAniGif, email00, "Vorlin107_rsc\\email00.gif", 50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadAniGif, GifAni001, "Vorlin107_rsc\\GifAni001.gif", 36)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QDir::setCurrent(QStringLiteral(VORLIN_SOURCE_DIR));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
