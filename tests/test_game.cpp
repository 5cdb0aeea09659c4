// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeHost.h"
#include "game/Game.h"
#include "input/Steering.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>


namespace {

struct GameFixture : ::testing::Test {
    Log log;
    FakeHost host{log};
    VirtualClock clock;
    FakeSound sound{log};
    FakeJoystick joystick;
    ModuleNom rec{QStringLiteral("   "), 0, 0};
    Game game{host, clock, sound, joystick, rec};

    // The mode's check mark, as the window sets it, then the game's half of the command.
    void setMode(int mode, int drawWidth = 10)
    {
        host.mode = mode;
        game.PictureVorlin.setDrawWidth(drawWidth);
        game.applyMode(static_cast<Game::Mode>(mode));
    }

    // Start, then the whole countdown: the trails are moving afterwards.
    void start()
    {
        game.CdeStart_Click();
        clock.advanceUntil([&] { return game.CteRebour == 0; }, 1000);
    }

    bool running() const { return game.TimerVorlin1->enabled() || game.TimerVorlin2->enabled(); }

    void playUntilCrash(int maxMs = 100'000)
    {
        clock.advanceUntil([&] { return !running(); }, maxMs);
    }

    units::Colour at(int x, int y) const { return game.PictureVorlin.point(x, y); }
};

} // namespace

// ---- geometry ----------------------------------------------------------------------------

struct GeometryCase {
    int clientW, clientH, drawWidth;
    int fieldW, fieldH, totalCells, centerX, x1, x2, y, frameLeft;
};

class Geometry : public GameFixture, public ::testing::WithParamInterface<GeometryCase> {};

// The layout decides where the trails start and the denominator of the percentage.
TEST_P(Geometry, RestartLaysOutThePlayfield)
{
    const GeometryCase& c = GetParam();
    host.client = QSize(c.clientW, c.clientH);
    game.PictureVorlin.setDrawWidth(c.drawWidth);
    game.restart();
    EXPECT_EQ(game.PictureVorlin.width(), c.fieldW);
    EXPECT_EQ(game.PictureVorlin.height(), c.fieldH);
    EXPECT_EQ(game.TotalCells, c.totalCells);
    EXPECT_EQ(game.CenterX, c.centerX);
    EXPECT_EQ(game.X1, c.x1);
    EXPECT_EQ(game.X1Off, c.x1);
    EXPECT_EQ(game.X2, c.x2);
    EXPECT_EQ(game.Y1, c.y);
    EXPECT_EQ(game.Y2Off, c.y);
    EXPECT_EQ(host.frameLeft, c.frameLeft);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Geometry, ::testing::Values(
    GeometryCase{496, 340, 10, 470, 250, 1175, 235, 95, 375, 125, 95},
    GeometryCase{496, 340, 5, 470, 250, 4700, 235, 95, 375, 125, 95},
    GeometryCase{496, 340, 2, 470, 250, 29375, 235, 95, 375, 125, 95},
    GeometryCase{700, 480, 10, 670, 390, 2613, 335, 195, 475, 195, 197},
    GeometryCase{700, 480, 2, 670, 390, 65325, 335, 195, 475, 195, 197},
    GeometryCase{496, 350, 10, 470, 270, 1269, 235, 95, 375, 135, 95},
    GeometryCase{331, 151, 10, 310, 70, 217, 155, 15, 295, 35, 12}),
    [](const auto& param) {
        const GeometryCase& c = param.param;
        return std::to_string(c.clientW) + "x" + std::to_string(c.clientH) + "w" + std::to_string(c.drawWidth);
    });

// A minimized window reports no client area: the game must keep a playable geometry.
TEST_F(GameFixture, RestartWhileMinimizedOrTinyKeepsTheLastGeometry)
{
    game.restart();
    host.isMinimized = true;
    host.client = QSize(0, 0);
    game.restart();
    EXPECT_EQ(game.PictureVorlin.width(), 470);
    EXPECT_EQ(game.TotalCells, 1175);
    host.isMinimized = false;
    host.client = QSize(25, 85);
    game.restart();
    EXPECT_EQ(game.PictureVorlin.height(), 250);
    EXPECT_EQ(game.X1, 95);
    EXPECT_EQ(game.CteRebour, 7) << "the re-arming itself still happens";
}

// ---- blobs ------------------------------------------------------------------------------

class Blob : public GameFixture, public ::testing::WithParamInterface<int> {};

// Collision reads single pixels: a blob must cover its head and leave the four places one
// step away free, or neighbouring lanes would collide.
TEST_P(Blob, CoversTheHeadButNotTheNeighbouringPlaces)
{
    const int w = GetParam();
    setMode(1, w);
    const int x = game.X1, y = game.Y1;
    EXPECT_EQ(at(x, y), Game::kNoir);
    EXPECT_EQ(at(x + w, y), Game::kBackground);
    EXPECT_EQ(at(x - w, y), Game::kBackground);
    EXPECT_EQ(at(x, y + w), Game::kBackground);
    EXPECT_EQ(at(x, y - w), Game::kBackground);
    EXPECT_EQ(at(x + w, y + w), Game::kBackground);
    EXPECT_EQ(at(game.X2, game.Y2), Game::kBackground) << "red is not drawn in one-player black";
}

// Consecutive blobs one step apart form an unbroken band along the row of the heads.
TEST_P(Blob, ConsecutiveBlobsFormABand)
{
    const int w = GetParam();
    setMode(1, w);
    start();
    clock.advance(5 * game.StepInterval);
    ASSERT_TRUE(running());
    ASSERT_EQ(game.X1, 95 + 5 * w);
    for (int x = 95; x <= game.X1; ++x)
        EXPECT_EQ(at(x, game.Y1), Game::kNoir) << "gap at x " << x;
}

INSTANTIATE_TEST_SUITE_P(DrawWidths, Blob, ::testing::Values(2, 5, 10));

// ---- movement and collision -------------------------------------------------------------

// 95 + 37 x 10 = 465 is the last free place of a 470-wide field; the next step is outside.
TEST_F(GameFixture, BlackCrashesAtTheRightEdgeAfter37Steps)
{
    setMode(1);
    start();
    playUntilCrash();
    EXPECT_EQ(game.Score1, 37);
    EXPECT_EQ(rec.score, 3); // Int(37 / 1175 x 100)
    EXPECT_EQ(host.label1, "3%");
    EXPECT_EQ(at(465, 125), Game::kNoir);
    EXPECT_EQ(log.back().rfind("sound bark.wav", 0), std::string::npos); // restart ran after the cue
    EXPECT_EQ(game.X1, 95) << "restart put the head back on its start place";
}

// The percentage is the floor of the exact ratio, never rounded up.
TEST_F(GameFixture, LabelShowsTheFlooredPercentage)
{
    setMode(1);
    start();
    clock.advance(11 * 100);
    EXPECT_EQ(game.Score1, 11);
    EXPECT_EQ(host.label1, "0%");
    clock.advance(100);
    EXPECT_EQ(host.label1, "1%");
    EXPECT_EQ(rec.score, 1);
}

// A reversal is obeyed: after a step it runs into its own band; at the very first step the
// place behind the start is still free.
TEST_F(GameFixture, ReversalCrashesOnlyAfterTheFirstStep)
{
    setMode(1);
    start();
    game.Form_KeyDown(input::vk::Q);
    clock.advance(100);
    EXPECT_TRUE(running());
    EXPECT_EQ(game.X1, 85);

    game.TimerVorlin1->setEnabled(false); // a mode command alone would leave the trail moving
    setMode(1);
    start();
    clock.advance(100);
    ASSERT_EQ(game.X1, 105);
    game.Form_KeyDown(input::vk::Q);
    clock.advance(100);
    EXPECT_FALSE(running());
    EXPECT_EQ(game.Score1, 1);
}

// Both heads aim at one free place in the same period: the timer enabled first takes it.
TEST_F(GameFixture, ContestedPlaceGoesToTheTrailThatTicksFirst)
{
    for (int first : {0, 1}) {
        SCOPED_TRACE(first);
        log.clear();
        setMode(3);
        game.Score1 = game.Score2 = 0;
        FakeRandom random;
        random.draws = {first};
        game.prepare(random); // the start-up draw of the trail that goes first
        start();
        // 14 steps each bring both heads to x 235, the middle place.
        playUntilCrash();
        EXPECT_EQ(at(235, 125), first == 0 ? Game::kNoir : Game::kRouge);
        EXPECT_EQ(first == 0 ? game.Score1 : game.Score2, 1) << "the trail that took the place scores";
        EXPECT_EQ(game.FirstTrail, first == 0 ? 1 : 0) << "the loser starts first next time";
        EXPECT_EQ(log[log.size() - 1], first == 0 ? "sound Dogbrk.wav" : "sound bark.wav");
    }
}

// The crash: the cue first, then the point, then both timers off, then restart.
TEST_F(GameFixture, CrashEffectsComeInOrder)
{
    setMode(3);
    start();
    game.Form_KeyDown(input::vk::Up); // red turns up, then runs off the top
    bool seen = false;
    sound.during = [&] {
        if (sound.paths.back().ends_with("Dogbrk.wav")) {
            seen = true;
            EXPECT_EQ(game.Score1, 0) << "point counted after the cue";
            EXPECT_TRUE(game.TimerVorlin1->enabled());
            EXPECT_EQ(game.CteRebour, 0);
            EXPECT_EQ(log[log.size() - 2].rfind("shown", 0), 0u) << "the last step on screen first";
        }
    };
    playUntilCrash();
    EXPECT_TRUE(seen);
    EXPECT_EQ(game.Score1, 1);
    EXPECT_EQ(game.Score2, 0);
    EXPECT_EQ(game.FirstTrail, 1);
    EXPECT_EQ(game.CteRebour, 7);
    EXPECT_EQ(host.label1, "1");
    EXPECT_TRUE(game.TimerTestJoy->enabled());
}

// A one-player game on a 4K Supermini field has more places than a 16-bit counter holds.
TEST_F(GameFixture, LargeCountersDoNotOverflow)
{
    host.client = QSize(3810, 2150);
    setMode(1, 2);
    ASSERT_GT(game.TotalCells, 32767);
    game.Score1 = 40000;
    game.CteRebour = 0;
    game.TimerVorlin1_Tick();
    EXPECT_EQ(game.Score1, 40001);
    EXPECT_EQ(rec.score, static_cast<int>(40001.0 / game.TotalCells * 100));
}

// ---- start sequence ---------------------------------------------------------------------

TEST_F(GameFixture, CountdownRunsOnTheButtonThenTheCueThenTheTrails)
{
    setMode(3);
    game.FirstTrail = 1;
    log.clear();
    game.CdeStart_Click();
    EXPECT_FALSE(game.TimerTestJoy->enabled());
    EXPECT_TRUE(host.startEnabled) << "the button stays enabled during the countdown";
    bool enabledAtCue = true;
    sound.during = [&] { enabledAtCue = running(); };
    clock.advance(700);
    const Log expected{"caption 5", "caption 4", "caption 3", "caption 2", "caption 1", "caption 0",
                       "caption Start", "shown Start (disabled) l1=0 l2=0", "sound Beam.wav"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(enabledAtCue) << "the trails move only after the cue";
    EXPECT_FALSE(host.startEnabled);
    EXPECT_FALSE(game.TimerCdeStart->enabled());
    EXPECT_TRUE(game.TimerVorlin1->enabled());
    EXPECT_TRUE(game.TimerVorlin2->enabled());
    // Red was enabled first, so red steps first.
    std::vector<char> order;
    game.TimerVorlin1->onTick = [&] { order.push_back('n'); };
    game.TimerVorlin2->onTick = [&] { order.push_back('r'); };
    clock.advance(200);
    EXPECT_EQ(order, (std::vector<char>{'r', 'n', 'r', 'n'}));
}

// The start places are drawn again 100 ms after Start has wiped the field.
TEST_F(GameFixture, StartWipesTheFieldAndRedrawsTheStartPlaces)
{
    setMode(3);
    game.PictureVorlin.line(10, 10, 10, 10, Game::kRouge);
    game.CdeStart_Click();
    EXPECT_EQ(at(10, 10), Game::kBackground);
    EXPECT_EQ(at(95, 125), Game::kBackground);
    clock.advance(100);
    EXPECT_EQ(at(95, 125), Game::kNoir);
    EXPECT_EQ(at(375, 125), Game::kRouge);
    EXPECT_FALSE(game.TimerDebut->enabled());
}

// One-player red resets only its own counter; two players keep their tallies.
TEST_F(GameFixture, StartResetsOnlyTheOnePlayerCounter)
{
    setMode(2);
    game.Score1 = 4;
    game.Score2 = 9;
    game.CdeStart_Click();
    EXPECT_EQ(game.Score1, 4);
    EXPECT_EQ(game.Score2, 0);
    EXPECT_EQ(host.label2, "0");

    setMode(3);
    game.Score1 = 3;
    game.Score2 = 5;
    game.CdeStart_Click();
    EXPECT_EQ(game.Score1, 3);
    EXPECT_EQ(game.Score2, 5);
}

// Start while a game runs (CteRebour 0) must not start a countdown from zero.
TEST_F(GameFixture, StartDuringAGameDoesNothing)
{
    setMode(3);
    start();
    clock.advance(300);
    const int x = game.X1;
    game.CdeStart_Click();
    EXPECT_FALSE(game.TimerCdeStart->enabled());
    EXPECT_EQ(game.CteRebour, 0);
    EXPECT_EQ(at(x, game.Y1), Game::kNoir) << "the field was not wiped";
}

// Pressing Start again during the countdown goes on from where the count was.
TEST_F(GameFixture, StartDuringTheCountdownKeepsCounting)
{
    setMode(3);
    game.CdeStart_Click();
    clock.advance(300);
    game.CdeStart_Click();
    EXPECT_EQ(game.CteRebour, 4);
    clock.advance(400);
    EXPECT_EQ(game.CteRebour, 0);
    EXPECT_TRUE(running());
}

// ---- keys -------------------------------------------------------------------------------

TEST_F(GameFixture, KeysCountOnlyWhileAGameRuns)
{
    setMode(3);
    game.CdeStart_Click();
    clock.advance(300);
    game.Form_KeyDown(input::vk::Z);
    EXPECT_EQ(game.LastKey, 0);
    clock.advance(400);
    clock.advance(100);
    EXPECT_EQ(game.Dir1, 2) << "black starts moving right";
    game.Form_KeyDown(input::vk::Z);
    EXPECT_EQ(game.LastKey, input::vk::Z);
}

// F1 and Esc are taken between games too, where the idle poll looks for them.
TEST_F(GameFixture, PollKeysAreTakenBetweenGames)
{
    setMode(3);
    game.Form_KeyDown(input::vk::Q);
    EXPECT_EQ(game.LastKey, 0);
    game.Form_KeyDown(input::vk::F1);
    EXPECT_EQ(game.LastKey, input::vk::F1);
    game.TimerTestJoy_Tick();
    EXPECT_EQ(game.LastKey, 0);
    EXPECT_EQ(log.back(), "help");
    game.Form_KeyDown(input::vk::Esc);
    game.TimerTestJoy_Tick();
    EXPECT_EQ(log.back(), "save and quit");
    // A re-arming in the middle of a game (a resize) must not let Esc end the running game.
    start();
    game.restart();
    ASSERT_TRUE(running());
    game.Form_KeyDown(input::vk::Esc);
    EXPECT_EQ(game.LastKey, 0);
}

// One shared LastKey: only the latest press counts, and each trail reads only its own keys.
TEST_F(GameFixture, TheLastKeyWinsAndEachTrailReadsItsOwn)
{
    setMode(3);
    start();
    game.Form_KeyDown(input::vk::Z);    // black: up
    game.Form_KeyDown(input::vk::Left); // red: left, overwrites black's key
    clock.advance(100);
    EXPECT_EQ(game.Dir1, 2);
    EXPECT_EQ(game.Dir2, 4);
    game.Form_KeyDown(input::vk::Numpad8);
    clock.advance(100);
    EXPECT_EQ(game.Dir2, 3);
    game.Form_KeyDown(input::vk::W);
    clock.advance(100);
    EXPECT_EQ(game.Dir1, 1);
    EXPECT_EQ(game.Dir2, 3);
}

// With black on the joystick, its keys do nothing but still overwrite a red key.
TEST_F(GameFixture, JoystickTrailIgnoresKeysButTheyStillOverwrite)
{
    host.joy1 = true;
    joystick.present[0] = true;
    joystick.state[0].dwXpos = joystick.state[0].dwYpos = 32767;
    setMode(3);
    start();
    game.Form_KeyDown(input::vk::Up);
    game.Form_KeyDown(input::vk::W);
    clock.advance(100);
    EXPECT_EQ(game.Dir1, 2);
    EXPECT_EQ(game.Dir2, 4) << "red's Up was cancelled by black's W";
}

TEST(KeyRules, TablesAndTheKeypad)
{
    using namespace input;
    EXPECT_EQ(blackKeyRule(vk::W, 2), 1);
    EXPECT_EQ(blackKeyRule(vk::S, 1), 2);
    EXPECT_EQ(blackKeyRule(vk::Z, 2), 3);
    EXPECT_EQ(blackKeyRule(vk::Q, 2), 4);
    EXPECT_EQ(blackKeyRule(vk::Up, 2), 2);
    EXPECT_EQ(redKeyRule(vk::Down, 4), 1);
    EXPECT_EQ(redKeyRule(vk::Numpad6, 4), 2);
    EXPECT_EQ(redKeyRule(vk::Up, 4), 3);
    EXPECT_EQ(redKeyRule(vk::Numpad4, 1), 4);
    EXPECT_EQ(redKeyRule(vk::Q, 4), 4);
    // Num Lock on gives the keypad's digits, off its arrows; both steer red upwards.
    EXPECT_EQ(toVirtualKey(Qt::Key_8, Qt::KeypadModifier), vk::Numpad8);
    EXPECT_EQ(toVirtualKey(Qt::Key_Up, Qt::KeypadModifier), vk::Up);
    EXPECT_EQ(toVirtualKey(Qt::Key_8, Qt::NoModifier), 56);
    EXPECT_EQ(toVirtualKey(Qt::Key_Q, Qt::ShiftModifier), vk::Q);
    EXPECT_EQ(toVirtualKey(Qt::Key_F1, Qt::NoModifier), vk::F1);
    // A Cyrillic letter counts as the US letter of its key (XKB keycodes 24 Q, 39 S, 52 Z).
    EXPECT_EQ(toVirtualKey(0x0419, Qt::NoModifier, 24), vk::Q);
    EXPECT_EQ(toVirtualKey(0x042B, Qt::NoModifier, 39), vk::S);
    EXPECT_EQ(toVirtualKey(0x042F, Qt::NoModifier, 52), vk::Z);
    EXPECT_EQ(toVirtualKey(Qt::Key_A, Qt::NoModifier, 24), 65) << "a Latin layout keeps its own letter";
    // Greek and Hebrew put punctuation at some of the black keys' places (24 Q, 25 W): it
    // steers all the same; the same symbol elsewhere does not, nor a Latin letter there.
    EXPECT_EQ(toVirtualKey(Qt::Key_Semicolon, Qt::NoModifier, 24), vk::Q);
    EXPECT_EQ(toVirtualKey(Qt::Key_Slash, Qt::NoModifier, 24), vk::Q);
    EXPECT_EQ(toVirtualKey(Qt::Key_Apostrophe, Qt::NoModifier, 25), vk::W);
    EXPECT_EQ(toVirtualKey(Qt::Key_Semicolon, Qt::NoModifier, 47), 0);
    EXPECT_EQ(toVirtualKey(Qt::Key_Eacute, Qt::NoModifier, 25), 0) << "a Latin letter keeps its own meaning";
}

// ---- game end and the match -------------------------------------------------------------

// The match ends at 10: the tally on screen, the cue, the box while the label shows 10, one winner.
TEST_F(GameFixture, TenPointsWinTheMatch)
{
    setMode(3);
    game.Score1 = 10;
    game.Score2 = 9;
    log.clear();
    game.restart();
    const Log expected{"shown  l1=10 l2=9", "sound Level.wav", "winner Joueur noir gagne ! l1=10 l2=9"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(game.Score1, 0);
    EXPECT_EQ(game.Score2, 0);
    EXPECT_EQ(host.label1, "0");
    EXPECT_EQ(host.label2, "0");

    game.Score2 = 10;
    log.clear();
    game.restart();
    EXPECT_EQ(log, (Log{"shown  l1=0 l2=10", "sound Chimes.wav", "winner Joueur rouge gagne ! l1=0 l2=10"}));
}

// While the winner's box is open the idle poll runs and LastKey still holds the game's key.
TEST_F(GameFixture, TheWinnerBoxOpensWithThePollRunning)
{
    setMode(3);
    game.Score1 = 10;
    game.LastKey = input::vk::Esc;
    bool pollOn = false;
    host.whileWinnerOpen = [&] { pollOn = game.TimerTestJoy->enabled() && game.LastKey == input::vk::Esc; };
    game.restart();
    EXPECT_TRUE(pollOn);
    EXPECT_EQ(game.LastKey, 0);
}

TEST_F(GameFixture, TitleAndRecordEntry)
{
    rec.nom = QStringLiteral("ABC");
    rec.record = 57;
    setMode(1);
    EXPECT_EQ(host.caption, QStringLiteral("Vorlin                    Top Score :     ABC 57%"));
    EXPECT_TRUE(host.topScoreItems);

    rec.score = 57;
    log.clear();
    game.restart();
    EXPECT_TRUE(log.empty()) << "equal to the record is no record";
    rec.score = 58;
    game.restart();
    EXPECT_EQ(log, Log{"record entry"});
    EXPECT_FALSE(host.formEnabled);
    EXPECT_TRUE(host.caption.endsWith("ABC 57%")) << "the old record until OK";

    rec.score = 0;
    setMode(3);
    EXPECT_EQ(host.caption, QStringLiteral("Vorlin"));
    EXPECT_FALSE(host.topScoreItems);
}

// Twice in a row without a game in between is the same as once.
TEST_F(GameFixture, RestartIsIdempotent)
{
    setMode(3);
    game.Score1 = 3;
    game.restart();
    const auto snapshot = std::tuple(game.X1, game.Y1, game.X2, game.Y2, game.TotalCells, game.CteRebour,
                                     game.Dir1, game.Dir2, game.Score1, host.caption, host.label1);
    game.restart();
    EXPECT_EQ(snapshot, std::tuple(game.X1, game.Y1, game.X2, game.Y2, game.TotalCells, game.CteRebour,
                                   game.Dir1, game.Dir2, game.Score1, host.caption, host.label1));
}

// ---- joystick poll ----------------------------------------------------------------------

TEST_F(GameFixture, JoystickButtonsStartAndItemsAreReported)
{
    setMode(3);
    joystick.present[1] = true;
    joystick.state[1].dwButtons = 2;
    log.clear();
    game.TimerTestJoy_Tick();
    EXPECT_EQ(log, Log{"joystick items 1"});
    EXPECT_TRUE(game.TimerCdeStart->enabled());
    EXPECT_FALSE(game.TimerTestJoy->enabled());
}

TEST(JoystickRule, Thresholds)
{
    auto dir = [](unsigned x, unsigned y) {
        platform::JoyInfo j;
        j.dwXpos = x;
        j.dwYpos = y;
        return input::joystickRule(j, 9);
    };
    EXPECT_EQ(dir(60000, 60000), 2);
    EXPECT_EQ(dir(60000, 0), 3);
    EXPECT_EQ(dir(0, 0), 4);
    EXPECT_EQ(dir(0, 60000), 4);
    EXPECT_EQ(dir(15000, 45999), 9);
    EXPECT_EQ(dir(14999, 30000), 4);
    EXPECT_EQ(dir(30000, 46000), 1);
}

// With only joystick 1, its held button is seen at both button tests of one poll: the Start
// click runs twice, which must leave the state of one.
TEST_F(GameFixture, OneJoystickButtonStartsOnceInEffect)
{
    setMode(3);
    joystick.present[0] = true;
    joystick.state[0].dwButtons = 1;
    game.TimerTestJoy_Tick();
    EXPECT_EQ(log.back(), "joystick items 0");
    EXPECT_EQ(game.CteRebour, 7);
    EXPECT_TRUE(game.TimerCdeStart->enabled());
    EXPECT_TRUE(game.TimerDebut->enabled());
    clock.advanceUntil([&] { return game.CteRebour == 0; }, 1000);
    EXPECT_EQ(host.startCaption, "Start");
}

// A joystick lost during a game: the trail keeps acting on the last values read.
TEST_F(GameFixture, LostJoystickKeepsTheLastRecord)
{
    host.joy2 = true;
    joystick.present[1] = true;
    joystick.state[1].dwXpos = 32767;
    joystick.state[1].dwYpos = 60000; // down
    setMode(3);
    start();
    clock.advance(100);
    EXPECT_EQ(game.Dir2, 1);
    joystick.present[1] = false;
    game.JoyInfo.dwXpos = 60000; // what the last successful read of either joystick left
    game.JoyInfo.dwYpos = 32767;
    clock.advance(100);
    EXPECT_EQ(game.Dir2, 2);
    EXPECT_TRUE(game.TimerVorlin2->enabled());
}
