// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsHelpers.h"
#include "FakeServices.h"
#include "mainwindow/Form1.h"
#include "startup/OnScreen.h"
#include "look/WindowLook.h"
#include "windows/FormInRecor.h"
#include "records/SettingsFile.h"
#include "records/SettingsRecord.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

using settings::Record;

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

// Nothing of the first window reads an image: the first image read loads every image plugin,
// which waits until the window is on the screen. The menu bar's overflow arrow is still drawn.
TEST_F(StartupFixture, TheFirstWindowReadsNoImage)
{
    const auto imagePluginLoaded = [] {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("imageformats");
    };
    if (imagePluginLoaded())
        GTEST_SKIP() << "an earlier test in this process read an image";
    QApplication::setStyle(look::newApplicationStyle());
    auto f = start();
    f->show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(imagePluginLoaded());
    const QImage arrow =
        f->style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16, 16).toImage();
    EXPECT_TRUE(std::any_of(arrow.constBits(), arrow.constBits() + arrow.sizeInBytes(), [](uchar b) { return b; }));
    QApplication::setStyle(QStringLiteral("Fusion"));
}

// What waits for the window runs once, after the window has been painted.
TEST(WhenOnScreen, RunsOnceAfterTheFirstPaint)
{
    struct Window : QWidget {
        int paints = 0;
        void paintEvent(QPaintEvent*) override { ++paints; }
    } w;
    int runs = 0, paintsBefore = -1;
    w.show();
    startup::whenOnScreen(w, [&] {
        ++runs;
        paintsBefore = w.paints;
    });
    EXPECT_EQ(runs, 0);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1);
    EXPECT_GE(paintsBefore, 1);
    w.hide();
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1);
}
