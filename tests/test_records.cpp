#include "Fakes.h"
#include "mainwindow/Form1.h"
#include "platform/SingleInstance.h"
#include "records/Cp1252.h"
#include "records/FormInRecor.h"
#include "records/SettingsFile.h"
#include "records/SettingsRecord.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

using settings::Record;

namespace {

std::uint32_t le32(const std::array<std::uint8_t, 22>& b, int at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

Record withInitials(const char* s, std::uint8_t record, std::uint8_t mode = 3)
{
    Record r;
    settings::setInitials(r, {std::uint8_t(s[0]), std::uint8_t(s[1]), std::uint8_t(s[2])});
    r.record = record;
    r.IniMode = mode;
    return r;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// ---- the 22-byte record ------------------------------------------------------------------

// Files written by earlier versions must still load: the layout is fixed to the byte.
TEST(SettingsRecord, GoldenBytes)
{
    const auto blank = settings::encode(withInitials("   ", 0));
    EXPECT_EQ(blank[8], 3);
    EXPECT_EQ(le32(blank, 9), 223u);
    EXPECT_EQ(le32(blank, 13), 132u);
    EXPECT_EQ(le32(blank, 17), 131u);
    EXPECT_EQ(blank[21], 0);

    Record abc = withInitials("ABC", 57, 2);
    abc.IniScaleHeight = 340;
    abc.IniHeight = 5790;
    abc.IniScaleWidth = 496;
    abc.IniWidth = -2;
    const auto b = settings::encode(abc);
    EXPECT_EQ(b[9], 190);
    EXPECT_EQ(b[13], 166);
    EXPECT_EQ(b[17], 166);
    EXPECT_EQ(b[21], 57);
    EXPECT_EQ(b[8], 2);
    EXPECT_EQ(b[0] | b[1] << 8, 340);
    EXPECT_EQ(b[2] | b[3] << 8, 5790);
    EXPECT_EQ(b[6], 0xFE);
    EXPECT_EQ(b[7], 0xFF);
}

TEST(SettingsRecord, EveryInitialCodeRoundTrips)
{
    for (int pos = 0; pos < 3; ++pos)
        for (int code = 0; code < 256; ++code) {
            std::array<std::uint8_t, 3> c{32, 32, 32};
            c[pos] = static_cast<std::uint8_t>(code);
            Record r;
            settings::setInitials(r, c);
            const auto bytes = settings::encode(r);
            const auto back = settings::decode(bytes);
            ASSERT_TRUE(back && settings::initialsValid(*back));
            EXPECT_EQ(settings::initialsOf(*back), c);
            // And through the text the game holds.
            const QChar ch = cp1252::toChar(static_cast<std::uint8_t>(code));
            EXPECT_EQ(cp1252::fromChar(ch), code);
        }
}

// Short or damaged files are refused, never read past their end.
TEST(SettingsRecord, ShortAndRandomBytes)
{
    const auto good = settings::encode(withInitials("XYZ", 12));
    for (std::size_t n = 0; n < 22; ++n)
        EXPECT_FALSE(settings::decode({good.data(), n})) << n;
    std::mt19937 rng(7);
    int valid = 0;
    for (int i = 0; i < 2000; ++i) {
        std::array<std::uint8_t, 22> b;
        for (auto& x : b) x = static_cast<std::uint8_t>(rng());
        const auto r = settings::decode(b);
        ASSERT_TRUE(r);
        valid += settings::initialsValid(*r);
    }
    EXPECT_LT(valid, 10) << "random initials fields are almost never in range";
    EXPECT_EQ(settings::clamp16(70000), 32767);
    EXPECT_EQ(settings::clamp16(-70000), -32768);
    EXPECT_EQ(settings::clamp16(2.5), 2);
}

TEST(SettingsFile, MissingUnusableAndAtomicSave)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vorlinini.vrl");
    Record r;
    EXPECT_EQ(settings::load(path, r), settings::LoadResult::Missing);
    ASSERT_TRUE(settings::save(path, withInitials("ABC", 57)));
    EXPECT_EQ(fileBytes(path).size(), 22);
    EXPECT_EQ(settings::load(path, r), settings::LoadResult::Loaded);
    EXPECT_EQ(r.record, 57);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(21, 'x'));
    f.close();
    EXPECT_EQ(settings::load(path, r), settings::LoadResult::Unusable);

    // Something that is not a plain file under the name is not read; a FIFO would block.
    QTemporaryDir other;
    const QString fifo = other.filePath("Vorlinini.vrl");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(settings::load(fifo, r), settings::LoadResult::Unusable);
    ASSERT_TRUE(QFile::remove(fifo));
    ASSERT_TRUE(QDir(other.path()).mkdir("Vorlinini.vrl"));
    EXPECT_EQ(settings::load(fifo, r), settings::LoadResult::Unusable);

    // A save that fails half-way (here the file-size limit of the process, which holds for
    // root too) returns false and leaves the old file whole.
    ASSERT_TRUE(settings::save(path, withInitials("OLD", 9)));
    const QByteArray old = fileBytes(path);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool ok = settings::save(path, withInitials("NEW", 10));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(fileBytes(path), old);

    // A directory that does not exist: no crash, no file.
    EXPECT_FALSE(settings::save(dir.filePath("missing/Vorlinini.vrl"), withInitials("NEW", 10)));
}

// ---- the record window -------------------------------------------------------------------

namespace {

struct RecordWindowFixture : ::testing::Test {
    QWidget main;
    ModuleNom rec{QStringLiteral("   "), 40, 35};
    int rearms = 0;
    QPointer<FormInRecor> w = new FormInRecor(rec, &main, [this] { ++rearms; });

    void SetUp() override
    {
        main.setEnabled(false);
        w->show();
    }
    void TearDown() override { delete w.data(); }
    void type(const QString& s)
    {
        for (QChar c : s)
            QTest::keyClick(w->Text1, c.toLatin1() ? c.toLatin1() : 'a', Qt::NoModifier);
    }
};

} // namespace

TEST_F(RecordWindowFixture, Layout)
{
    EXPECT_EQ(w->windowTitle(), "      Vorlin    RECORD !");
    EXPECT_EQ(w->size(), QSize(153, 74));
    EXPECT_EQ(w->Label1->text(), "Entrée vos initiales:");
    EXPECT_EQ(w->Text1->geometry(), QRect(112, 16, 33, 19));
    EXPECT_EQ(w->Command1->text(), "OK");
    EXPECT_EQ(w->Text1->maxLength(), 3);
}

// The first initial is upper-cased, the others keep their case; OK pads with blanks.
TEST_F(RecordWindowFixture, TypingAndOk)
{
    QTest::keyClicks(w->Text1, "xy");
    EXPECT_EQ(w->Text1->text(), "Xy");
    w->Command1->click();
    EXPECT_EQ(rec.nom, "Xy ");
    EXPECT_EQ(rec.record, 40);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(rearms, 1);
}

TEST_F(RecordWindowFixture, TheKeyPressRule)
{
    QTest::keyClicks(w->Text1, "abcd");
    EXPECT_EQ(w->Text1->text(), "Abc") << "three characters at most";
    w->Text1->clear();
    QTest::keyClicks(w->Text1, "1 ");
    QTest::keyClick(w->Text1, Qt::Key_Backspace);
    EXPECT_EQ(w->Text1->text(), "???") << "digits, blanks and Backspace type ?";
    for (auto [code, want] : {std::pair{233, 201}, std::pair{int('{'), int('[')}, std::pair{int('a'), int('A')}}) {
        w->Text1->clear();
        int k = code;
        w->Text1_KeyPress(k);
        EXPECT_EQ(k, want);
    }
    // Pasting would pass by the rule: it does nothing.
    w->Text1->clear();
    QApplication::clipboard()->setText("12");
    QTest::keyClick(w->Text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w->Text1->text(), "");

    w->Text1->setText("A");
    int k = 'b';
    w->Text1_KeyPress(k);
    EXPECT_EQ(k, 'b');
    // A character outside Windows-1252 counts as "?".
    EXPECT_EQ(cp1252::fromChar(QChar(0x3A9)), '?');
    EXPECT_EQ(cp1252::fromChar(QChar(0x20AC)), 0x80);
}

// An empty OK stores three blanks; closing the window by its close box acts as OK.
TEST_F(RecordWindowFixture, EmptyOkAndCloseBox)
{
    w->close();
    EXPECT_EQ(rec.nom, "   ");
    EXPECT_EQ(rec.record, 40);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(rearms, 1);
}

// ---- the main window with its settings -----------------------------------------------------

namespace {

struct StartupFixture : ::testing::Test, FakeServices {
    QString before = QDir::currentPath();
    QTemporaryDir dir;

    void SetUp() override { QDir::setCurrent(dir.path()); }
    void TearDown() override { QDir::setCurrent(before); }
    std::unique_ptr<Form1> start()
    {
        auto f = std::make_unique<Form1>(services(), rec);
        f->Form_Load();
        return f;
    }
};

} // namespace

// First run: two players, the designed size, "Vorlin"; closing writes the 22 bytes.
TEST_F(StartupFixture, FirstRunThenExit)
{
    auto f = start();
    EXPECT_TRUE(f->menu2joueur->isChecked());
    EXPECT_EQ(f->windowTitle(), "Vorlin");
    EXPECT_EQ(f->clientSize(), QSize(496, 340));
    f->sov();
    const QByteArray b = fileBytes("Vorlinini.vrl");
    ASSERT_EQ(b.size(), 22);
    EXPECT_EQ(b[8], 3);
    EXPECT_EQ(uchar(b[9]), 223);
    EXPECT_EQ(uchar(b[13]), 132);
    EXPECT_EQ(uchar(b[17]), 131);
    EXPECT_EQ(b[21], 0);
}

// The next start comes back in the saved mode and size, with the top score in the title;
// speed and size are not kept.
TEST_F(StartupFixture, SecondRunRestoresModeSizeAndTopScore)
{
    {
        auto f = start();
        f->menu1JoueurRouge->trigger();
        f->menuvitesseDebutant->trigger();
        f->menuMini->trigger();
        f->resizeClient(640, 420);
        rec.nom = "ABC";
        rec.record = 57;
        f->sov();
    }
    rec = ModuleNom{};
    auto f = start();
    EXPECT_TRUE(f->menu1JoueurRouge->isChecked());
    EXPECT_EQ(f->clientSize(), QSize(640, 420));
    EXPECT_EQ(rec.nom, "ABC");
    EXPECT_EQ(f->windowTitle(), "Vorlin                    Top Score :     ABC 57%");
    EXPECT_TRUE(f->menuVitesseMoyen->isChecked());
    EXPECT_TRUE(f->menuStandard->isChecked());
}

// Damaged files give the defaults and are left alone until the next save.
TEST_F(StartupFixture, UnusableFilesGiveTheDefaults)
{
    for (const QByteArray& content : {QByteArray(10, '\x01'), QByteArray(22, '\xFF')}) {
        QFile f("Vorlinini.vrl");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        rec = ModuleNom{};
        auto form = start();
        EXPECT_TRUE(form->menu2joueur->isChecked());
        EXPECT_EQ(rec.nom, "   ");
        EXPECT_EQ(fileBytes("Vorlinini.vrl"), content);
    }
}

// A stored mode of 0 or 4 runs no mode command: two players stay ticked.
TEST_F(StartupFixture, OutOfRangeModeLeavesTwoPlayers)
{
    for (std::uint8_t mode : {0, 4}) {
        ASSERT_TRUE(settings::save("Vorlinini.vrl", withInitials("ABC", 5, mode)));
        auto f = start();
        EXPECT_TRUE(f->menu2joueur->isChecked());
        f->sov();
        EXPECT_EQ(fileBytes("Vorlinini.vrl")[8], 3);
    }
}

// Stored sizes are brought within the smallest window and the screen; a file from a
// desktop with thicker frames keeps its client size.
TEST_F(StartupFixture, StoredSizesAreBounded)
{
    Record r = withInitials("ABC", 5, 1);
    r.IniScaleWidth = 100;
    r.IniScaleHeight = 20;
    r.IniWidth = 1500;
    r.IniHeight = 300;
    ASSERT_TRUE(settings::save("Vorlinini.vrl", r));
    auto f = start();
    EXPECT_EQ(f->clientSize(), QSize(331, 151));

    r.IniScaleWidth = 30000;
    r.IniScaleHeight = 30000;
    ASSERT_TRUE(settings::save("Vorlinini.vrl", r));
    f = start();
    EXPECT_LE(f->clientSize().width(), QGuiApplication::primaryScreen()->availableGeometry().width());

    r.IniScaleWidth = 500;
    r.IniScaleHeight = 300;
    r.IniWidth = (500 + 40) * 15; // frames 20 px a side
    r.IniHeight = (300 + 60) * 15;
    ASSERT_TRUE(settings::save("Vorlinini.vrl", r));
    f = start();
    EXPECT_EQ(f->clientSize(), QSize(500, 300));
}

// A record beaten during a game: the window opens once, OK puts the initials in the title.
TEST_F(StartupFixture, RecordFlowThroughTheMainWindow)
{
    auto f = start();
    f->menu1JoueurNoir->trigger();
    rec.record = 35;
    rec.score = 35;
    f->game.restart();
    EXPECT_FALSE(f->recordWindow) << "equal is no record";
    rec.score = 40;
    f->game.restart();
    ASSERT_TRUE(f->recordWindow);
    EXPECT_FALSE(f->isEnabled());
    EXPECT_TRUE(f->windowTitle().endsWith("35%"));
    QTest::keyClicks(f->recordWindow->Text1, "abc");
    f->recordWindow->Command1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(f->recordWindow);
    EXPECT_TRUE(f->isEnabled());
    EXPECT_EQ(f->windowTitle(), "Vorlin                    Top Score :     Abc 40%");
}

// Closing the game while the initials are asked for keeps the new top score in the file.
TEST_F(StartupFixture, ExitDuringTheRecordEntryKeepsTheRecord)
{
    auto f = start();
    f->menu1JoueurNoir->trigger();
    rec.score = 12;
    f->game.restart();
    ASSERT_TRUE(f->recordWindow);
    QTest::keyClicks(f->recordWindow->Text1, "zo");
    f->Form_Unload();
    Record r;
    ASSERT_EQ(settings::load("Vorlinini.vrl", r), settings::LoadResult::Loaded);
    EXPECT_EQ(r.record, 12);
    EXPECT_EQ(settings::initialsOf(r), (std::array<std::uint8_t, 3>{'Z', 'o', ' '}));
}

// "Effacer top Score": Cancel changes nothing, OK clears to three blanks and 0.
TEST_F(StartupFixture, ClearTheTopScore)
{
    auto f = start();
    f->menu1JoueurNoir->trigger();
    rec.nom = "ABC";
    rec.record = 57;
    messages.answers = {platform::MessageBox::Answer::Cancel};
    f->menueffacer->trigger();
    ASSERT_EQ(messages.requests.size(), 1u);
    EXPECT_EQ(messages.requests[0].text, "Effacer le Top Score ?");
    EXPECT_TRUE(messages.requests[0].cancelIsDefault);
    EXPECT_EQ(rec.record, 57);
    messages.answers = {platform::MessageBox::Answer::Ok};
    f->menueffacer->trigger();
    EXPECT_EQ(rec.nom, "   ");
    EXPECT_EQ(rec.record, 0);
    EXPECT_EQ(f->windowTitle(), "Vorlin                    Top Score :         0%");
}

// A second copy does not get the lock; one that crashed leaves a lock that is taken over.
TEST(SingleInstance, SecondCopyAndStaleLock)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("vorlin.lock");
    {
        platform::SingleInstance first(path);
        EXPECT_TRUE(first.acquired());
        QLockFile other(path);
        EXPECT_FALSE(other.tryLock(0));
    }
    // A lock whose owner is gone: a process id that cannot be running.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("999999999\nvorlin\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    f.close();
    platform::SingleInstance next(path);
    EXPECT_TRUE(next.acquired());
}
