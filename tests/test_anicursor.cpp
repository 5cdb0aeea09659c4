// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_anipic_gifs.h"
#include "anipic/AniGif.h"
#include "anipic/ImageArray.h"
#include "platform/Shell.h"
#include "anipic/AniReader.h"
#include "windows/CurseurAni.h"
#include "windows/FormAbout.h"
#include "support/VirtualClock.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QFrame>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& b, std::uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i))); }
void put16(Bytes& b, std::uint16_t v) { b.push_back(std::uint8_t(v)); b.push_back(std::uint8_t(v >> 8)); }
// One byte at a time: GCC 12 takes a range insert here for an overflow (-Wstringop-overflow).
void tag(Bytes& b, const char* t) { for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(t[i])); }

// A 32 x 32, 16-colour cursor file whose every pixel has palette index `colour`.
Bytes cursorFile(std::uint8_t colour, std::uint16_t hotX, std::uint16_t hotY, std::uint16_t type = 2)
{
    Bytes img;
    put32(img, 40); put32(img, 32); put32(img, 64);          // BITMAPINFOHEADER, height doubled for the masks
    put16(img, 1); put16(img, 4);                            // planes, 4 bits a pixel
    put32(img, 0); put32(img, 32 * 16 + 32 * 4);             // no compression, image size
    put32(img, 0); put32(img, 0); put32(img, 16); put32(img, 0);
    for (int i = 0; i < 16; ++i) { img.push_back(std::uint8_t(i * 16)); img.push_back(0); img.push_back(std::uint8_t(255 - i * 16)); img.push_back(0); }
    img.insert(img.end(), 32 * 16, std::uint8_t(colour << 4 | colour)); // XOR picture
    img.insert(img.end(), 32 * 4, 0);                                  // AND mask: all opaque

    Bytes f;
    put16(f, 0); put16(f, type); put16(f, 1);                 // ICONDIR
    f.push_back(32); f.push_back(32); f.push_back(16); f.push_back(0);
    put16(f, hotX); put16(f, hotY);                           // hot spot (planes, bit count for an icon)
    put32(f, std::uint32_t(img.size())); put32(f, 6 + 16);
    f.insert(f.end(), img.begin(), img.end());
    return f;
}

void chunk(Bytes& out, const char* t, const Bytes& body)
{
    tag(out, t);
    put32(out, std::uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1) out.push_back(0);
}

// RIFF "ACON": anih, optional rate and seq, LIST fram of icons.
Bytes aniFile(const std::vector<Bytes>& icons, std::vector<std::uint32_t> rate = {}, std::vector<std::uint32_t> seq = {},
              std::uint32_t jif = 6)
{
    Bytes anih;
    put32(anih, 36); put32(anih, std::uint32_t(icons.size()));
    put32(anih, std::uint32_t(seq.empty() ? icons.size() : seq.size()));
    put32(anih, 0); put32(anih, 0); put32(anih, 0); put32(anih, 0); put32(anih, jif);
    put32(anih, seq.empty() ? 1 : 3);
    Bytes body;
    tag(body, "ACON");
    chunk(body, "anih", anih);
    if (!rate.empty()) { Bytes r; for (auto v : rate) put32(r, v); chunk(body, "rate", r); }
    if (!seq.empty()) { Bytes s; for (auto v : seq) put32(s, v); chunk(body, "seq ", s); }
    Bytes fram;
    tag(fram, "fram");
    for (const Bytes& i : icons) chunk(fram, "icon", i);
    chunk(body, "LIST", fram);
    Bytes out;
    tag(out, "RIFF");
    put32(out, std::uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::span<const std::uint8_t> span(const Bytes& b) { return {b.data(), b.size()}; }

// A cursor file whose picture is a PNG of side x side pixels, as large cursors are stored.
Bytes pngCursorFile(int side)
{
    QImage img(side, side, QImage::Format_ARGB32);
    img.fill(qRgba(200, 30, 30, 255));
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    Bytes f;
    put16(f, 0); put16(f, 2); put16(f, 1);
    f.push_back(std::uint8_t(side)); f.push_back(std::uint8_t(side)); f.push_back(0); f.push_back(0);
    put16(f, 1); put16(f, 1);
    put32(f, std::uint32_t(png.size())); put32(f, 6 + 16);
    f.insert(f.end(), png.begin(), png.end());
    return f;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray qbytes(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }

// Resident memory of this process in bytes.
qint64 residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return qint64(resident) * sysconf(_SC_PAGESIZE);
}

struct NoShell final : platform::Shell {
    void open(const QString&) override {}
};

} // namespace

// Frames, hot spots, steps and rates come out as the file lays them.
TEST(AniReader, ReadsFramesSequenceAndRates)
{
    const Bytes file = aniFile({cursorFile(1, 5, 0), cursorFile(9, 6, 1)}, {6, 12, 30}, {0, 1, 0});
    const auto c = ani::readCursor(span(file));
    ASSERT_TRUE(c);
    ASSERT_EQ(c->frames.size(), 2u);
    EXPECT_EQ(c->frames[0].image.size(), QSize(32, 32));
    EXPECT_EQ(c->frames[0].hotSpot, QPoint(5, 0));
    EXPECT_EQ(c->frames[1].hotSpot, QPoint(6, 1));
    EXPECT_NE(c->frames[0].image.pixel(3, 3), c->frames[1].image.pixel(3, 3));
    EXPECT_EQ(c->steps, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(c->stepMs, (std::vector<int>{100, 200, 500}));
}

// Without "rate" and "seq " every frame shows once, at the header's rate.
TEST(AniReader, DefaultsWithoutRateAndSequence)
{
    const Bytes file = aniFile({cursorFile(1, 0, 0), cursorFile(2, 0, 0), cursorFile(3, 0, 0)}, {}, {}, 3);
    const auto c = ani::readCursor(span(file));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->steps, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(c->stepMs, (std::vector<int>{50, 50, 50}));
}

// A plain cursor or icon file is a cursor of one step.
TEST(AniReader, PlainCursorAndIconFiles)
{
    const auto cur = ani::readCursor(span(cursorFile(4, 7, 8)));
    ASSERT_TRUE(cur);
    EXPECT_EQ(cur->frames.size(), 1u);
    EXPECT_EQ(cur->frames[0].hotSpot, QPoint(7, 8));
    const auto ico = ani::readCursor(span(cursorFile(4, 1, 4, 1)));
    ASSERT_TRUE(ico);
    EXPECT_EQ(ico->frames[0].hotSpot, QPoint(0, 0)) << "an icon has no hot spot";
}

// Broken files are refused, never read past their end.
TEST(AniReader, RejectsBrokenFiles)
{
    const Bytes good = aniFile({cursorFile(1, 0, 0), cursorFile(2, 0, 0)}, {}, {0, 1});
    for (std::size_t len = 0; len < good.size(); len += 7)
        EXPECT_FALSE(ani::readCursor({good.data(), len})) << "truncated at " << len;
    EXPECT_FALSE(ani::readCursor(span(aniFile({cursorFile(1, 0, 0)}, {}, {0, 3})))) << "sequence past the frames";
    EXPECT_FALSE(ani::readCursor(span(aniFile({})))) << "no frames";
    Bytes badIcon = cursorFile(1, 0, 0);
    badIcon[6 + 12] = 0xF0; // image offset past the end
    EXPECT_FALSE(ani::readCursor(span(aniFile({badIcon}))));
    Bytes longChunk = good;
    longChunk[16] = 0xFF; // anih length past the file
    EXPECT_FALSE(ani::parseRiff(span(longChunk)));
}

// The pictures of one cursor are bounded in all: sixteen frames of 256 x 256 are taken, a
// seventeenth is refused, however small the compressed file.
TEST(AniReader, PixelBudgetAcrossFrames)
{
    ASSERT_EQ(16 * 256 * 256, ani::kCursorPixelBudget);
    const Bytes big = pngCursorFile(256);
    const Bytes sixteen = aniFile(std::vector<Bytes>(16, big));
    const Bytes seventeen = aniFile(std::vector<Bytes>(17, big));
    ASSERT_LT(seventeen.size(), 20'000u);
    const auto c = ani::readCursor(span(sixteen));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->frames[15].image.size(), QSize(256, 256));
    EXPECT_FALSE(ani::readCursor(span(seventeen)));
}

// Only a regular file within the size cap is read: a FIFO of that name neither blocks nor
// loads, a link to an endless device is not read, a good cursor padded one byte past the cap
// is refused while the same at the cap loads. The up arrow shows whenever it is refused.
TEST(CurseurAni, OnlyARegularFileWithinTheCapIsRead)
{
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QDir().mkdir("Vorlin107_rsc");
    const QString name = QStringLiteral("Vorlin107_rsc/IconeAnim001_16c.ani");
    const QString game = QStringLiteral("Vorlin107_rsc\\IconeAnim001_16c.ani");
    QWidget target;

    // A FIFO opened for reading blocks until a writer comes: were the load to block, this
    // process would hang here and the test time out.
    ASSERT_EQ(mkfifo(QFile::encodeName(name).constData(), 0600), 0);
    EXPECT_EQ(CurseurAni::LoadAniCursor(&target, game), 0);
    EXPECT_EQ(target.cursor().shape(), Qt::UpArrowCursor);
    QFile::remove(name);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), name));
    EXPECT_EQ(CurseurAni::LoadAniCursor(&target, game), 0);
    QFile::remove(name);

    const QByteArray good = qbytes(aniFile({cursorFile(1, 5, 0), cursorFile(9, 5, 0)}));
    const QByteArray atCap = good + QByteArray(qsizetype(ani::kMaxCursorFileBytes) - good.size(), '\0');
    writeFile(name, atCap + '\0');
    EXPECT_EQ(CurseurAni::LoadAniCursor(&target, game), 0);
    EXPECT_EQ(target.cursor().shape(), Qt::UpArrowCursor);
    writeFile(name, atCap);
    EXPECT_NE(CurseurAni::LoadAniCursor(&target, game), 0);
    QDir::setCurrent(before);
}

// Closing About gives the memory of its animation and its cursor back to the system, not
// only to the heap: the game is no larger after the window than before it.
TEST(CurseurAni, ClosingAboutGivesItsMemoryBack)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator holds freed memory back by design";
#endif
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    // Sixteen 400 x 400 frames on a 512 x 512 screen, within the decoding budget, and a
    // cursor of sixteen 256 x 256 frames, within its own.
    std::vector<gifs::Frame> frames;
    for (int k = 0; k < 16; ++k)
        frames.push_back({k, k, 400, 400, 10, -1, std::vector<std::uint8_t>(400 * 400, std::uint8_t(1 + k % 3))});
    const QByteArray gif = gifs::animated(512, 512, frames);
    const QByteArray cursor = qbytes(aniFile(std::vector<Bytes>(16, pngCursorFile(256))));

    VirtualClock clock;
    AniGif aniGif(clock);
    NoShell shell;
    QWidget mainWindow;
    qint64 open = 0;
    auto openAndClose = [&] {
        auto* about = new FormAbout(aniGif, shell, &mainWindow);
        about->show();
        about->Form_Activate();
        open = residentBytes();
        about->close();
        delete about;
    };
    openAndClose(); // without its files: fonts, styles and other caches that stay for good
    QDir().mkdir("Vorlin107_rsc");
    writeFile("Vorlin107_rsc/email00.gif", gif);
    writeFile("Vorlin107_rsc/IconeAnim001_16c.ani", cursor);
    const qint64 base = residentBytes();
    openAndClose();
    const qint64 after = residentBytes();
    QDir::setCurrent(before);
    ASSERT_GT(open - base, 12 << 20) << "the window took less than it should have";
    EXPECT_LT(after - base, (open - base) / 4) << (after - base) / 1024 << " KB kept of " << (open - base) / 1024;
}

// The About window must open normally without its cursor file: the up arrow shows.
TEST(CurseurAni, UpArrowWhenTheFileIsMissingOrBroken)
{
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QWidget target;
    EXPECT_EQ(CurseurAni::LoadAniCursor(&target, "Vorlin107_rsc\\IconeAnim001_16c.ani"), 0);
    EXPECT_EQ(target.cursor().shape(), Qt::UpArrowCursor);

    QDir().mkdir("Vorlin107_rsc");
    QFile f("Vorlin107_rsc/IconeAnim001_16c.ani");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RIFF....ACONjunk");
    f.close();
    EXPECT_EQ(CurseurAni::LoadAniCursor(&target, "Vorlin107_rsc\\IconeAnim001_16c.ani"), 0);
    EXPECT_EQ(target.cursor().shape(), Qt::UpArrowCursor);
    QDir::setCurrent(before);
}

// A good file puts its first frame on the widget; reading again replaces the animation.
TEST(CurseurAni, AnimatedCursorOnTheTargetOnly)
{
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QDir().mkdir("Vorlin107_rsc");
    const Bytes file = aniFile({cursorFile(1, 5, 0), cursorFile(9, 5, 0)});
    QFile f("Vorlin107_rsc/IconeAnim001_16c.ani");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(file.data()), qint64(file.size()));
    f.close();
    QWidget parent;
    QWidget* target = new QWidget(&parent);
    EXPECT_NE(CurseurAni::LoadAniCursor(target, "Vorlin107_rsc\\IconeAnim001_16c.ani"), 0);
    // The frames are set, and change, only while the pointer is over the target.
    EXPECT_EQ(target->cursor().shape(), Qt::UpArrowCursor);
    auto* tick = target->findChild<QTimer*>("CurseurAniTick");
    ASSERT_TRUE(tick);
    EXPECT_FALSE(tick->isActive());
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(target, &enter);
    EXPECT_EQ(target->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(target->cursor().hotSpot(), QPoint(5, 0));
    EXPECT_EQ(parent.cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(tick->isActive());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(target, &leave);
    EXPECT_FALSE(tick->isActive());
    EXPECT_NE(CurseurAni::LoadAniCursor(target, "Vorlin107_rsc\\IconeAnim001_16c.ani"), 0);
    EXPECT_EQ(target->findChildren<QObject*>("CurseurAni").size(), 1);
    QDir::setCurrent(before);
}

// Each frame is built at the window's device pixel ratio, so the cursor keeps its size on a
// screen scaled by 2 (X11 shows a cursor's picture pixel for pixel). Run at scales 1 and 2.
TEST(CurseurAni, FramesAtTheDevicePixelRatio)
{
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QDir().mkdir("Vorlin107_rsc");
    const Bytes file = aniFile({cursorFile(1, 5, 0)});
    QFile f("Vorlin107_rsc/c.ani");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(file.data()), qint64(file.size()));
    f.close();
    QWidget target;
    target.show();
    ASSERT_NE(CurseurAni::LoadAniCursor(&target, "Vorlin107_rsc\\c.ani"), 0);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&target, &enter);
    const QPixmap picture = target.cursor().pixmap();
    const qreal dpr = target.devicePixelRatioF();
    EXPECT_EQ(picture.devicePixelRatio(), dpr);
    EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(32, 32));
    EXPECT_EQ(target.cursor().hotSpot(), QPoint(5, 0));
    QDir::setCurrent(before);
}

// The committed cursor parses, and every seed of the fuzz corpus, cut at every length, is
// read or refused without a fault (the ASan build turns a fault into a failure).
TEST(AniReader, ShippedCursorAndCorpus)
{
    QFile shipped(QStringLiteral(VORLIN_SOURCE_DIR "/Vorlin107_rsc/IconeAnim001_16c.ani"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QByteArray ani = shipped.readAll();
    const auto c = ani::readCursor({reinterpret_cast<const std::uint8_t*>(ani.constData()), std::size_t(ani.size())});
    ASSERT_TRUE(c);
    EXPECT_GE(c->frames.size(), 6u);
    EXPECT_EQ(c->frames[0].image.size(), QSize(32, 32));

    const QDir corpus(QStringLiteral(VORLIN_SOURCE_DIR "/fuzz/corpus/ani"));
    const QStringList seeds = corpus.entryList(QDir::Files);
    ASSERT_FALSE(seeds.isEmpty());
    for (const QString& name : seeds) {
        QFile f(corpus.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        for (qsizetype n = 0; n <= b.size(); n += 13)
            ani::readCursor({reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(n)});
    }
}
