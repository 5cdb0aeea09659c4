// SPDX-License-Identifier: GPL-3.0-or-later
#include "anipic/AniGif.h"
#include "anipic/GifFrameDecoder.h"
#include "test_anipic_gifs.h"
#include "support/VirtualClock.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <numeric>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using gifs::bytes;

namespace {

// A host window with element 0 placed at design time at 360, 2760 twips (24, 184 px), as on
// the About window.
struct Host {
    Host()
    {
        window.resize(400, 400);
        label0 = new QLabel(&window);
        label0->setGeometry(24, 184, 50, 50);
        array = std::make_unique<ImageArray>(label0);
        window.show();
    }
    QWidget window;
    QLabel* label0 = nullptr;
    std::unique_ptr<ImageArray> array;

    std::vector<int> visible() const
    {
        std::vector<int> out;
        for (int i = 0; i < array->count(); ++i)
            if (array->isShown(i))
                out.push_back(i);
        return out;
    }
};

class AniGifTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }
    QString animation(int n) { return write(QString("anim%1.gif").arg(n), gifs::animatedN(n)); }

    QTemporaryDir dir;
    VirtualClock clock;
    AniGif ani{clock};
    Host host;
};

using Visible = std::vector<int>;

} // namespace

// One marker gives one frame in element 0, which keeps its place whatever the first image's
// offset; both totals become 1 and both counters 0.
TEST_F(AniGifTest, OneFrameGoesIntoElementZero)
{
    ani.FrameCount = 5;
    ani.FrameCount1 = 6;
    ani.LoadAniGif(write("one.gif", gifs::animated(9, 9, {{5, 5, 3, 2, 20, -1, {1, 2, 3, 3, 2, 1}}})), *host.array);

    ASSERT_EQ(host.array->count(), 1);
    EXPECT_EQ(ani.TotalFrames, 1);
    EXPECT_EQ(ani.TotalFrames1, 1);
    EXPECT_EQ(ani.FrameCount, 0);
    EXPECT_EQ(ani.FrameCount1, 0);
    EXPECT_EQ(host.array->tag(0), "200");
    EXPECT_EQ(host.array->picture(0).size(), QSize(3, 2));
    EXPECT_EQ(host.array->picture(0).pixel(2, 0), gifs::kBlue);
    EXPECT_EQ(host.label0->size(), QSize(3, 2));
    EXPECT_EQ(host.array->left(0), 360);
    EXPECT_EQ(host.array->top(0), 2760);
}

// n markers give n elements: the new ones hidden, each above element 0 and every element
// made before it, placed at element 0 plus the image offset at 15 twips per pixel.
TEST_F(AniGifTest, NFramesStackNewHiddenElementsInOrder)
{
    auto* later = new QLabel(&host.window); // a design-time control above element 0
    ani.LoadAniGif(animation(4), *host.array);

    ASSERT_EQ(host.array->count(), 4);
    EXPECT_EQ(ani.TotalFrames, 4);
    EXPECT_EQ(ani.TotalFrames1, 4);
    const QObjectList stacking = host.window.children(); // bottom to top
    for (int k = 1; k < 4; ++k) {
        QLabel* e = host.array->element(k);
        EXPECT_FALSE(host.array->isShown(k)) << k;
        EXPECT_EQ(e->parentWidget(), &host.window);
        EXPECT_GT(stacking.indexOf(e), stacking.indexOf(host.array->element(k - 1))) << k;
        EXPECT_GT(stacking.indexOf(e), stacking.indexOf(later)) << k;
        EXPECT_EQ(host.array->left(k), 360 + 15 * k);
        EXPECT_EQ(host.array->top(k), 2760 + 15 * k);
        EXPECT_EQ(host.array->tag(k), QString::number(100 * k));
        EXPECT_EQ(host.array->picture(k).size(), QSize(2, 2));
    }
    EXPECT_FALSE(host.label0->isHidden());
}

// Offsets 7 and 10 place a later frame 105 and 150 twips from element 0; delays 20 and 0
// become the Tags "200" and "0".
TEST_F(AniGifTest, OffsetsBecomeTwipsAndDelaysBecomeTags)
{
    ani.LoadAniGif(write("f.gif", gifs::animated(20, 20, {{7, 10, 1, 1, 20, -1, {}}, {7, 10, 1, 1, 0, -1, {}}})),
                   *host.array);
    ASSERT_EQ(host.array->count(), 2);
    EXPECT_EQ(host.array->left(0), 360);
    EXPECT_EQ(host.array->top(0), 2760);
    EXPECT_EQ(host.array->left(1), 360 + 105);
    EXPECT_EQ(host.array->top(1), 2760 + 150);
    EXPECT_EQ(host.array->element(1)->pos(), QPoint(24 + 7, 184 + 10));
    EXPECT_EQ(host.array->tag(0), "200");
    EXPECT_EQ(host.array->tag(1), "0");
}

// Every load starts by removing elements 1 and up: the count depends on the new file only,
// and element 0 is the same control throughout.
TEST_F(AniGifTest, SecondLoadReplacesTheAddedElements)
{
    ani.LoadAniGif(animation(4), *host.array);
    std::vector<QPointer<QLabel>> old;
    for (int k = 1; k < 4; ++k)
        old.emplace_back(host.array->element(k));

    ani.LoadAniGif(animation(2), *host.array);
    EXPECT_EQ(host.array->count(), 2);
    EXPECT_EQ(ani.TotalFrames, 2);
    for (const auto& p : old)
        EXPECT_TRUE(p.isNull());
    EXPECT_EQ(host.array->element(0), host.label0);

    ani.LoadAniGif(animation(4), *host.array);
    EXPECT_EQ(host.array->count(), 4);
    ani.LoadAniGif(animation(1), *host.array);
    EXPECT_EQ(host.array->count(), 1);
}

// A load that fails (no file, a directory, a frame the decoder rejects, a chunk too short)
// changes nothing: the host keeps its elements, pictures and tags, the counters their values.
TEST_F(AniGifTest, FailedLoadChangesNothing)
{
    ani.LoadAniGif(animation(3), *host.array);
    ani.FrameCount = 2;
    ani.FrameCount1 = 1;
    ani.TotalFrames1 = 7;
    const qint64 picture0 = host.array->picture(0).cacheKey();
    std::vector<QLabel*> elements;
    for (int k = 0; k < 3; ++k)
        elements.push_back(host.array->element(k));

    const QByteArray rejected = gifs::header(4, 4) + gifs::netscapeLoop() + gifs::frameBlocks({}) + gifs::gce(10) +
                                bytes({0x77, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x02, 0x02, 0x4C, 0x01, 0x00, 0x3B});
    const QByteArray tooShort = gifs::header(4, 4) + gifs::netscapeLoop() + gifs::frameBlocks({}) +
                                bytes({0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x3B});
    QDir(dir.path()).mkdir("sub");
    for (const QString& path : {dir.filePath("missing.gif"), dir.filePath("sub"), write("rejected.gif", rejected),
                                write("short.gif", tooShort)}) {
        ani.LoadAniGif(path, *host.array);
        ASSERT_EQ(host.array->count(), 3) << path.toStdString();
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(host.array->element(k), elements[static_cast<std::size_t>(k)]);
        EXPECT_EQ(host.array->picture(0).cacheKey(), picture0);
        EXPECT_EQ(host.array->tag(1), "100");
        EXPECT_EQ(ani.FrameCount, 2);
        EXPECT_EQ(ani.FrameCount1, 1);
        EXPECT_EQ(ani.TotalFrames, 3);
        EXPECT_EQ(ani.TotalFrames1, 7);
    }
}

// Frames are decoded from memory: a load resolves "Vorlin107_rsc\..." against the current
// directory and neither creates, changes nor deletes a file there, "tmp.gif" included.
TEST_F(AniGifTest, LoadLeavesTheCurrentDirectoryAlone)
{
    QDir(dir.path()).mkdir("Vorlin107_rsc");
    write("Vorlin107_rsc/email00.gif", gifs::animatedN(3));
    write("tmp.gif", "a user's own file");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QStringList listing = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    ani.LoadAniGif("Vorlin107_rsc\\email00.gif", *host.array);

    QDir::setCurrent(before);
    EXPECT_EQ(host.array->count(), 3);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), listing);
    QFile f(dir.filePath("tmp.gif"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("a user's own file"));
}

// The host sets the timer from element 0's Tag; what is not a number from 0 to 65535
// leaves the interval as it was.
TEST_F(AniGifTest, IntervalComesFromElementZerosTag)
{
    host.array->setTag(0, "200");
    EXPECT_TRUE(ani.setIntervalFromTag(*host.array));
    EXPECT_EQ(ani.TimerAniGif->interval(), 200);
    for (const char* bad : {"", "abc", "65536", "-1", "655350"}) {
        host.array->setTag(0, bad);
        EXPECT_FALSE(ani.setIntervalFromTag(*host.array)) << bad;
        EXPECT_EQ(ani.TimerAniGif->interval(), 200) << bad;
    }
    host.array->setTag(0, "0");
    EXPECT_TRUE(ani.setIntervalFromTag(*host.array));
    EXPECT_EQ(ani.TimerAniGif->interval(), 0);
}

// One frame: each tick shows element 0 and wraps at once. Two frames: element 1 shows and
// hides in the same tick, so element 0 stays the picture on screen.
TEST_F(AniGifTest, TickWithOneAndTwoFrames)
{
    ani.AnimatedGIF = host.array.get();
    ani.LoadAniGif(animation(1), *host.array);
    for (int t = 0; t < 3; ++t) {
        ani.TimerAniGif_Tick();
        EXPECT_EQ(ani.FrameCount, 0);
        EXPECT_EQ(host.visible(), Visible({0}));
    }

    ani.LoadAniGif(animation(2), *host.array);
    ani.TimerAniGif_Tick();
    EXPECT_EQ(ani.FrameCount, 1);
    EXPECT_EQ(host.visible(), Visible({0}));
    ani.TimerAniGif_Tick();
    EXPECT_EQ(ani.FrameCount, 0);
    EXPECT_EQ(host.visible(), Visible({0}));
}

// n frames build up one per tick at the first frame's delay, whatever the later delays,
// and all but element 0 hide at the end of each cycle.
TEST_F(AniGifTest, TickTableForNFramesOnTheTimer)
{
    ani.AnimatedGIF = host.array.get();
    std::vector<gifs::Frame> frames;
    for (int k = 0; k < 4; ++k)
        frames.push_back({0, 0, 1, 1, k == 0 ? 20 : 90, -1, {}});
    ani.LoadAniGif(write("n.gif", gifs::animated(2, 2, frames)), *host.array);
    ASSERT_TRUE(ani.setIntervalFromTag(*host.array));

    const std::vector<Visible> afterTick = {{0}, {0, 1}, {0, 1, 2}, {0}, {0}, {0, 1}, {0, 1, 2}, {0}};
    for (std::size_t t = 0; t < afterTick.size(); ++t) {
        clock.advance(199);
        EXPECT_EQ(host.visible(), t == 0 ? Visible({0}) : afterTick[t - 1]);
        clock.advance(1);
        EXPECT_EQ(host.visible(), afterTick[t]) << "tick " << t + 1;
    }
    EXPECT_EQ(ani.FrameCount, 0);
}

// A first delay of 0 sets interval 0: nothing ticks and element 0 keeps the first frame.
TEST_F(AniGifTest, FirstDelayZeroStopsTheAnimation)
{
    ani.AnimatedGIF = host.array.get();
    ani.LoadAniGif(animation(3), *host.array);
    ASSERT_EQ(host.array->tag(0), "0");
    ASSERT_TRUE(ani.setIntervalFromTag(*host.array));
    clock.advance(60'000);
    EXPECT_EQ(ani.FrameCount, 0);
    EXPECT_EQ(host.visible(), Visible({0}));
}

// Both windows open: one tick advances each by one element. Each load sets
// both totals, so a total may exceed the other window's array: that window wraps at its own
// end and never reaches an element it does not have; one with the larger array wraps at
// the smaller total, as the count is tested for equality.
TEST_F(AniGifTest, BothWindowsOpenStayWithinTheirOwnArrays)
{
    Host help;
    ani.AnimatedGIF = host.array.get();
    ani.AnimatedGIF1 = help.array.get();

    ani.LoadAniGif(animation(3), *host.array);
    ani.LoadAniGif(animation(5), *help.array);
    ASSERT_EQ(ani.TotalFrames, 5);

    std::vector<int> aboutCounts, helpCounts;
    for (int t = 0; t < 10; ++t) {
        ani.TimerAniGif_Tick();
        aboutCounts.push_back(ani.FrameCount);
        helpCounts.push_back(ani.FrameCount1);
    }
    EXPECT_EQ(aboutCounts, (std::vector<int>{1, 2, 0, 1, 2, 0, 1, 2, 0, 1}));
    EXPECT_EQ(helpCounts, (std::vector<int>{1, 2, 3, 4, 0, 1, 2, 3, 4, 0}));

    // Help, the larger, loaded first: About's load sets both totals to 3.
    ani.LoadAniGif(animation(5), *help.array);
    ani.LoadAniGif(animation(3), *host.array);
    helpCounts.clear();
    for (int t = 0; t < 6; ++t) {
        ani.TimerAniGif_Tick();
        helpCounts.push_back(ani.FrameCount1);
        EXPECT_FALSE(help.array->isShown(3));
        EXPECT_FALSE(help.array->isShown(4));
    }
    EXPECT_EQ(helpCounts, (std::vector<int>{1, 2, 0, 1, 2, 0}));
}

// A window that is closed (its array gone) or hidden does not move its counter; a counter
// set out of range by hand starts again at element 0 rather than address a missing one.
TEST_F(AniGifTest, ClosedHiddenOrOutOfRangeHosts)
{
    auto help = std::make_unique<Host>();
    ani.AnimatedGIF = host.array.get();
    ani.AnimatedGIF1 = help->array.get();
    ani.LoadAniGif(animation(3), *help->array);
    ani.LoadAniGif(animation(3), *host.array);

    help.reset();
    EXPECT_TRUE(ani.AnimatedGIF1.isNull());
    host.window.hide();
    ani.TimerAniGif_Tick();
    EXPECT_EQ(ani.FrameCount, 0);
    EXPECT_EQ(ani.FrameCount1, 0);

    host.window.show();
    ani.FrameCount = 99;
    ani.TotalFrames = -4;
    ani.TimerAniGif_Tick();
    EXPECT_EQ(ani.FrameCount, 1);
    EXPECT_EQ(host.visible(), Visible({0}));
}

// Only a regular file within the size cap is read: a FIFO named like a GIF neither blocks
// the game nor loads, a link to an endless device is not read, and a good animation padded
// one byte past the cap is refused while the same at the cap loads.
TEST_F(AniGifTest, OnlyARegularFileWithinTheCapIsRead)
{
    const QString fifo = dir.filePath("fifo.gif");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.filePath("zero.gif");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QByteArray good = gifs::animatedN(3);
    const QByteArray atCap = good + QByteArray(anipic::kMaxGifFileBytes - good.size(), 'x');

    // Should the open block on the FIFO, its other end is opened after a while so the test
    // fails instead of hanging.
    std::mutex m;
    std::condition_variable cv;
    bool finished = false, rescued = false;
    std::thread watchdog([&] {
        std::unique_lock lock(m);
        if (!cv.wait_for(lock, std::chrono::seconds(10), [&] { return finished; })) {
            rescued = true;
            ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY));
        }
    });
    ani.LoadAniGif(fifo, *host.array);
    {
        std::lock_guard lock(m);
        finished = true;
    }
    cv.notify_one();
    watchdog.join();
    EXPECT_FALSE(rescued) << "the load blocked on a FIFO";
    EXPECT_EQ(host.array->count(), 1);

    ani.LoadAniGif(zero, *host.array);
    EXPECT_EQ(host.array->count(), 1);
    ani.LoadAniGif(write("over.gif", atCap + 'x'), *host.array);
    EXPECT_EQ(host.array->count(), 1);
    ani.LoadAniGif(write("cap.gif", atCap), *host.array);
    EXPECT_EQ(host.array->count(), 3);
}

// A tick paints the revealed frame alone: late in a long cycle it costs what it costs at the
// start, and the window still shows the frames stacked, an earlier one through a later
// one's transparent pixel.
TEST_F(AniGifTest, ATickRepaintsOnlyWhatChanged)
{
    constexpr int kFrames = static_cast<int>(anipic::kMaxGifFrames);
    std::vector<gifs::Frame> frames;
    for (int k = 0; k < kFrames; ++k) {
        // Every frame over the whole 4 x 4 screen; from frame 2 on, pixel (3, 3) transparent.
        std::vector<std::uint8_t> px(16, static_cast<std::uint8_t>(1 + k % 3));
        if (k > 0)
            px[15] = 0;
        frames.push_back({0, 0, 4, 4, 10, k > 0 ? 0 : -1, px});
    }
    ani.AnimatedGIF = host.array.get();
    ani.LoadAniGif(write("many.gif", gifs::animated(4, 4, frames)), *host.array);
    ASSERT_EQ(host.array->count(), kFrames);

    struct PaintCounter : QObject {
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::Paint && o->isWidgetType())
                ++paints;
            return false;
        }
        int paints = 0;
    } counter;
    QApplication::processEvents();
    qApp->installEventFilter(&counter);
    auto tick = [&] {
        counter.paints = 0;
        ani.TimerAniGif_Tick();
        QApplication::processEvents();
        return counter.paints;
    };
    const QRgb colours[] = {gifs::kRed, gifs::kGreen, gifs::kBlue};
    auto shownAt = [&](int x, int y) { return host.window.grab().toImage().pixel(24 + x, 184 + y); };

    std::vector<int> paints;
    for (int t = 1; t <= kFrames - 1; ++t)
        paints.push_back(tick());
    qApp->removeEventFilter(&counter);
    // Fifty ticks near the start against the last fifty, as updates may be batched in pairs.
    const int early = std::accumulate(paints.begin() + 2, paints.begin() + 52, 0);
    const int late = std::accumulate(paints.end() - 50, paints.end(), 0);
    EXPECT_GT(early, 0) << "the ticks painted nothing";
    EXPECT_LE(late, early) << "painting grows with the frames";
    EXPECT_EQ(shownAt(0, 0), colours[(kFrames - 2) % 3]);
    EXPECT_EQ(shownAt(3, 3), colours[0]);

    tick(); // the end of the cycle: only element 0 stays
    EXPECT_EQ(host.visible(), Visible({0}));
    EXPECT_EQ(shownAt(0, 0), colours[0]);
    tick();
    tick();
    EXPECT_EQ(shownAt(0, 0), colours[1]);
}

// The number of frames is bounded, whatever their size: a file may hold up to kMaxGifFrames,
// and one more frame, or the most 1 x 1 frames the file-size cap lets through, makes the
// load fail and change nothing. So opening, playing and closing a window cost a bounded time.
TEST_F(AniGifTest, TheNumberOfFramesIsBounded)
{
    auto tiny = [](std::size_t n) {
        QByteArray out = gifs::header(1, 1) + gifs::netscapeLoop();
        const QByteArray frame = gifs::frameBlocks({});
        out.reserve(static_cast<qsizetype>(out.size() + frame.size() * static_cast<qsizetype>(n) + 1));
        for (std::size_t k = 0; k < n; ++k)
            out += frame;
        return out + bytes({0x3B});
    };
    const std::size_t cap = anipic::kMaxGifFrames;
    ani.LoadAniGif(write("cap.gif", tiny(cap)), *host.array);
    ASSERT_EQ(static_cast<std::size_t>(host.array->count()), cap);
    ani.LoadAniGif(animation(3), *host.array);
    ani.LoadAniGif(write("over.gif", tiny(cap + 1)), *host.array);
    ASSERT_EQ(host.array->count(), 3);
    const std::size_t most = static_cast<std::size_t>(anipic::kMaxGifFileBytes / gifs::frameBlocks({}).size()) - 2;
    const QByteArray hostile = tiny(most);
    ASSERT_LE(hostile.size(), anipic::kMaxGifFileBytes);
    ani.LoadAniGif(write("hostile.gif", hostile), *host.array);
    EXPECT_EQ(host.array->count(), 3);
    EXPECT_EQ(ani.TotalFrames, 3);
}
