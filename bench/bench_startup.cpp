// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up as a player feels it: from exec to the first mapped window, the game against a
// bare Qt window, in turns on a private Xvfb, with the ratio of their medians.
#include "Xvfb.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

// `--once DISPLAY PROGRAM [ARG...]`: starts PROGRAM on that display, ends when its window
// is mapped, so that an outside timer can time exec to window as a whole process.
int once(int argc, char** argv)
{
    benchx::Xvfb x{std::string(argv[2])};
    if (!x.ok())
        return 2;
    const std::vector<std::string> program(argv + 3, argv + argc);
    char tmpl[] = "/tmp/vorlin-bench-XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    const pid_t pid = benchx::spawn(program, dir, {"DISPLAY=" + x.display(), "QT_QPA_PLATFORM=xcb", "TMPDIR=" + dir});
    const double t = x.waitForMap(10000);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    fs::remove_all(dir);
    return t < 0 ? 1 : 0;
}

// The monotonic time of the game's first logged paint (its playfield), waiting up to 2 s.
double firstPaintMs(const std::string& log)
{
    for (const double until = benchx::nowMs() + 2000; benchx::nowMs() < until; usleep(500)) {
        std::ifstream in(log);
        long long ns = 0;
        if (in >> ns)
            return ns / 1e6;
    }
    return -1;
}

int main(int argc, char** argv)
{
    if (argc > 3 && std::string(argv[1]) == "--once")
        return once(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    auto xp = std::make_unique<benchx::Xvfb>();
    for (int attempt = 1; attempt < 3 && !xp->ok(); ++attempt)
        xp = std::make_unique<benchx::Xvfb>();
    benchx::Xvfb& x = *xp;
    if (!x.ok()) {
        std::printf("start-up: no Xvfb, skipped\n");
        return 0;
    }
    // The game runs in a folder of its own, with the resources beside it as installed.
    char tmpl[] = "/tmp/vorlin-bench-XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    fs::create_directory_symlink(fs::path(VORLIN_SOURCE_DIR) / "Vorlin107_rsc", fs::path(dir) / "Vorlin107_rsc");
    // The game logs its paints, so the figure also says when the window's content arrives.
    const std::string paintLog = dir + "/paints.log";
    const std::vector<std::string> env = {"DISPLAY=" + x.display(), "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + dir,
                                         "TMPDIR=" + dir, // the single-instance lock stays private
                                         "VORLIN_PAINT_LOG=" + paintLog};
    // A second argument times another build of the game, for a before/after figure.
    const std::vector<std::string> game = {argc > 2 ? argv[2] : VORLIN_GAME}, bare = {BAREQT_WINDOW};

    const std::vector<std::string> text = {BAREQT_WINDOW, "text"};
    const std::vector<std::string>* programs[3] = {&game, &bare, &text};

    std::vector<double> t[3], ratios, paints[3];
    for (int i = -1; i < runs; ++i) { // the first round warms the caches
        double round[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            const int p = (k + (i + 3)) % 3; // each goes first in turn
            x.drain();
            fs::remove(paintLog);
            const double t0 = benchx::nowMs();
            const pid_t pid = benchx::spawn(*programs[p], dir, env);
            const double t1 = x.waitForMap(10000);
            const double painted = t1 >= 0 ? firstPaintMs(paintLog) : -1;
            benchx::stop(pid);
            if (i >= 0 && painted >= 0)
                paints[p].push_back(painted - t0);
            if (t1 < 0) {
                std::printf("start-up: %s showed no window\n", (*programs[p])[0].c_str());
                return 1;
            }
            round[p] = t1 - t0;
        }
        if (i < 0)
            continue;
        for (int p = 0; p < 3; ++p)
            t[p].push_back(round[p]);
        ratios.push_back(round[0] / round[1]);
    }
    fs::remove_all(dir);
    const auto mn = [](const std::vector<double>& v) { return v.empty() ? -1.0 : *std::min_element(v.begin(), v.end()); };
    const auto med = [](const std::vector<double>& v) { return v.empty() ? -1.0 : benchx::median(v); };
    std::printf("Start-up from exec (Xvfb, no window manager, %d runs each, in turns): to the first mapped\n"
                "window, and to the first paint of its content (the game's playfield)\n",
                runs);
    std::printf("  %-28s %8s %8s   %8s %8s\n", "", "map min", "median", "paint min", "median");
    const char* names[3] = {"vorlin", "bare Qt 6 window", "bare Qt 6 window + 1 label"};
    for (int p = 0; p < 3; ++p)
        std::printf("  %-28s %5.1f ms %5.1f ms   %6.1f ms %6.1f ms\n", names[p], mn(t[p]), med(t[p]), mn(paints[p]),
                    med(paints[p]));
    std::printf("  vorlin / bare, mapped: ratio of medians %.3f, median of run ratios %.3f; vorlin / labelled: %.3f\n",
                med(t[0]) / med(t[1]), benchx::median(ratios), med(t[0]) / med(t[2]));
    std::printf("  vorlin / bare, painted: ratio of medians %.3f; vorlin / labelled: %.3f\n",
                med(paints[0]) / med(paints[1]), med(paints[0]) / med(paints[2]));
    return 0;
}
