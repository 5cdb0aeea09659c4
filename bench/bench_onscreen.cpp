// SPDX-License-Identifier: GPL-3.0-or-later
// The step period the screen shows: a one-player game on a private Xvfb, steered from
// outside along a long spiral, with the time of each playfield repaint taken from the
// game's own paint log (VORLIN_PAINT_LOG); beside it, a bare Qt program repainting the same
// small square on a precise timer of the same interval.
#include "Xvfb.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct Paint {
    double ms;
    int x, y, w, h;
};

// Reads the lines a log has grown by since the last call.
class LogTail {
public:
    explicit LogTail(std::string path) : path_(std::move(path)) {}
    std::vector<Paint> next()
    {
        std::vector<Paint> out;
        std::ifstream in(path_);
        in.seekg(static_cast<std::streamoff>(offset_));
        std::string line;
        while (std::getline(in, line)) {
            if (in.eof())
                break; // a line still being written
            offset_ += line.size() + 1;
            long long ns;
            Paint p{};
            if (std::sscanf(line.c_str(), "%lld %d %d %d %d", &ns, &p.x, &p.y, &p.w, &p.h) == 5) {
                p.ms = static_cast<double>(ns) / 1e6;
                out.push_back(p);
            }
        }
        return out;
    }

private:
    std::string path_;
    std::size_t offset_ = 0;
};

void xdo(const std::string& display, const std::vector<std::string>& args, int settleMs = 0)
{
    std::vector<std::string> argv = {"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    const pid_t pid = benchx::spawn(argv, "", {"DISPLAY=" + display});
    waitpid(pid, nullptr, 0);
    if (settleMs)
        usleep(static_cast<useconds_t>(settleMs) * 1000);
}

struct Figures {
    int gaps = 0;
    double mean = 0, p50 = 0, p99 = 0, maxDev = 0;
};

Figures figures(const std::vector<double>& times, double nominal)
{
    Figures f;
    std::vector<double> gaps;
    for (std::size_t i = 1; i < times.size(); ++i)
        gaps.push_back(times[i] - times[i - 1]);
    if (gaps.empty())
        return f;
    double sum = 0;
    for (double g : gaps) {
        sum += g;
        f.maxDev = std::max(f.maxDev, std::fabs(g - nominal));
    }
    f.gaps = static_cast<int>(gaps.size());
    f.mean = sum / static_cast<double>(gaps.size());
    f.p50 = benchx::median(gaps);
    f.p99 = benchx::percentile(gaps, 99);
    return f;
}

struct Speed {
    const char* name;
    const char* menuKey;
    int interval; // what the bare program is given, and the nominal period
    int ticks;
};

struct Leg {
    int dx, dy;       // the direction being run
    int until;        // the far edge of the repaint, in playfield pixels, that ends the leg
    const char* turn; // the key that starts the next leg
};

// From the start, heading right, around the field twice, each leg well clear of the last.
constexpr Leg kSpiral[] = {
    {1, 0, 400, "w"}, {0, 1, 225, "q"}, {-1, 0, 40, "z"}, {0, -1, 25, "s"},
    {1, 0, 435, "w"}, {0, 1, 235, "q"}, {-1, 0, 25, "z"}, {0, -1, 45, nullptr},
};

bool legDone(const Leg& leg, const Paint& p)
{
    if (leg.dx > 0) return p.x + p.w >= leg.until;
    if (leg.dx < 0) return p.x <= leg.until;
    if (leg.dy > 0) return p.y + p.h >= leg.until;
    return p.y <= leg.until;
}

std::vector<double> playGame(const benchx::Xvfb& x, const std::vector<std::string>& env, const std::string& dir,
                             const std::string& log, const Speed& s)
{
    const std::string& d = x.display();
    const pid_t pid = benchx::spawn({VORLIN_GAME}, dir, env);
    std::vector<double> times;
    usleep(1500 * 1000);
    // No window manager: the window sits at the top left, a click on the body makes it
    // active, and each menu opens to a click from elsewhere and answers its letters.
    // One player (black), trails of width 2, the speed.
    const auto menu = [&](const char* menuX, std::vector<const char*> keys) {
        xdo(d, {"mousemove", "240", "300"}, 200);
        xdo(d, {"mousemove", menuX, "8", "click", "1"}, 500);
        for (const char* k : keys)
            xdo(d, {"key", k}, 400);
    };
    xdo(d, {"mousemove", "240", "300", "click", "1"}, 300);
    menu("22", {"n"});
    menu("70", {"t", "Return"}); // Supermini, the first item; Standard shares its letter
    menu("70", {"v", s.menuKey});
    fs::resize_file(log, 0);
    LogTail tail(log);
    xdo(d, {"mousemove", "316", "63", "click", "1"});

    std::size_t leg = 0;
    double last = benchx::nowMs();
    while (static_cast<int>(times.size()) <= s.ticks && benchx::nowMs() - last < 3000) {
        for (const Paint& p : tail.next()) {
            if (p.w > 16 || p.h > 16)
                continue; // the whole field, drawn again between games
            times.push_back(p.ms);
            last = benchx::nowMs();
            if (leg < std::size(kSpiral) && legDone(kSpiral[leg], p)) {
                if (!kSpiral[leg].turn) {
                    leg = std::size(kSpiral);
                    break;
                }
                xdo(d, {"key", kSpiral[leg].turn});
                ++leg;
            }
        }
        if (leg >= std::size(kSpiral))
            break;
        usleep(1000);
    }
    benchx::stop(pid);
    // Start draws the heads once; the first step follows after the countdown and the start
    // cue, which is not a step period.
    const double pause = 3.0 * s.interval + 500;
    std::size_t first = 0;
    while (first + 1 < times.size() && times[first + 1] - times[first] > pause)
        ++first;
    times.erase(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(first));
    return times;
}

std::vector<double> playBare(const benchx::Xvfb&, const std::vector<std::string>& env, const std::string& log,
                             const Speed& s, std::size_t ticks)
{
    const pid_t pid = benchx::spawn({BAREQT_REPAINT, std::to_string(s.interval)}, "", env);
    usleep(1500 * 1000);
    fs::resize_file(log, 0);
    LogTail tail(log);
    std::vector<double> times;
    const double start = benchx::nowMs();
    while (times.size() < ticks && benchx::nowMs() - start < 60000) {
        for (const Paint& p : tail.next())
            if (p.w <= 16 && p.h <= 16)
                times.push_back(p.ms);
        usleep(2000);
    }
    benchx::stop(pid);
    if (times.size() > ticks)
        times.resize(ticks);
    return times;
}

void print(const char* who, const Figures& f)
{
    std::printf("    %-8s %4d steps  mean %7.2f  p50 %7.2f  p99 %7.2f  max deviation %6.2f ms\n", who, f.gaps, f.mean,
                f.p50, f.p99, f.maxDev);
}

} // namespace

int main()
{
    auto xp = std::make_unique<benchx::Xvfb>();
    for (int attempt = 1; attempt < 3 && !xp->ok(); ++attempt)
        xp = std::make_unique<benchx::Xvfb>();
    if (!xp->ok()) {
        std::printf("on-screen step period: no Xvfb, skipped\n");
        return 0;
    }
    char tmpl[] = "/tmp/vorlin-bench-XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    fs::create_directory_symlink(fs::path(VORLIN_SOURCE_DIR) / "Vorlin107_rsc", fs::path(dir) / "Vorlin107_rsc");
    const std::string log = dir + "/paint.log";
    { std::ofstream(log).flush(); }
    const std::vector<std::string> env = {"DISPLAY=" + xp->display(), "QT_QPA_PLATFORM=xcb", "TMPDIR=" + dir,
                                          "XDG_RUNTIME_DIR=" + dir, "SDL_AUDIODRIVER=dummy",
                                          "VORLIN_PAINT_LOG=" + log};

    std::printf("On-screen step period: gaps between playfield repaints (Xvfb, paint log)\n");
    const Speed speeds[] = {{"Débutant", "d", 200, 60}, {"Moyen", "m", 100, 120}, {"GrandMaître", "g", 10, 1000}};
    for (const Speed& s : speeds) {
        const std::vector<double> game = playGame(*xp, env, dir, log, s);
        const std::vector<double> bare = playBare(*xp, env, log, s, std::max<std::size_t>(game.size(), 2));
        std::printf("  %s (nominal %d ms)\n", s.name, s.interval);
        print("vorlin", figures(game, s.interval));
        print("bare Qt", figures(bare, s.interval));
    }
    fs::remove_all(dir);
    return 0;
}
