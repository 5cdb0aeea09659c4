// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Game.h"

#include "input/Steering.h"
#include "sound/ModuleSon.h"

#include <cmath>

// What differs between the black and the red movement tick.
struct Game::Trail {
    int id; // 0 black, 1 red: its joystick, and the trail that goes first after it crashes
    int Game::*x;
    int Game::*y;
    int Game::*dir;
    int Game::*score;
    int Game::*opponentScore;
    std::unique_ptr<platform::WindowTimer> Game::*timer;
    std::unique_ptr<platform::WindowTimer> Game::*otherTimer;
    MenuItem joystickItem;
    MenuItem soloItem;
    int (*keyRule)(int lastKey, int dir);
    void (GameHost::*setLabel)(const QString&);
    const QString* crashCue;
};

namespace {
const QString kTitle = QStringLiteral("Vorlin");
} // namespace

Game::Game(GameHost& host, platform::TimerClock& clock, platform::SoundPlayer& sound,
           platform::Joystick& joystick, ModuleNom& records)
    : TimerTestJoy(clock.createTimer()),
      TimerCdeStart(clock.createTimer()),
      TimerDebut(clock.createTimer()),
      TimerVorlin2(clock.createTimer()),
      TimerVorlin1(clock.createTimer()),
      host_(host),
      sound_(sound),
      joystick_(joystick),
      rec_(records)
{
    PictureVorlin.setBackColor(kBackground);
    PictureVorlin.setDrawWidth(10);

    // The design state of the window's timers.
    TimerTestJoy->setInterval(50);
    TimerCdeStart->setInterval(100);
    TimerDebut->setInterval(100);
    TimerVorlin2->setInterval(100);
    TimerVorlin1->setInterval(100);
    TimerTestJoy->setEnabled(true);
    TimerDebut->setEnabled(true);

    TimerTestJoy->onTick = [this] { TimerTestJoy_Tick(); };
    TimerCdeStart->onTick = [this] { TimerCdeStart_Tick(); };
    TimerDebut->onTick = [this] { TimerDebut_Tick(); };
    TimerVorlin1->onTick = [this] { TimerVorlin1_Tick(); };
    TimerVorlin2->onTick = [this] { TimerVorlin2_Tick(); };
}

void Game::Vorlin()
{
    X1Off = X1 + 1;
    Y1Off = Y1 + 1;
    X2Off = X2 + 1;
    Y2Off = Y2 + 1;
    if (host_.checked(MenuItem::menu2joueur) || host_.checked(MenuItem::menu1JoueurNoir))
        PictureVorlin.line(X1Off, Y1Off, X1, Y1, kNoir);
    if (host_.checked(MenuItem::menu2joueur) || host_.checked(MenuItem::menu1JoueurRouge))
        PictureVorlin.line(X2Off, Y2Off, X2, Y2, kRouge);
}

void Game::step(const Trail& t)
{
    int& dir = this->*t.dir;
    if (host_.checked(t.joystickItem)) {
        joystick_.joyGetPosEx(t.id, JoyInfo); // a failed read keeps the last values
        dir = input::joystickRule(JoyInfo, dir);
    } else {
        dir = t.keyRule(LastKey, dir);
    }

    const int stepLen = PictureVorlin.drawWidth();
    int& x = this->*t.x;
    int& y = this->*t.y;
    switch (dir) {
    case 1: y += stepLen; break;
    case 2: x += stepLen; break;
    case 3: y -= stepLen; break;
    case 4: x -= stepLen; break;
    default: break;
    }

    if (PictureVorlin.point(x, y) == PictureVorlin.backColor()) {
        Vorlin();
        if (host_.checked(t.soloItem)) {
            int& own = this->*t.score;
            ++own;
            const double pct = TotalCells > 0 ? std::floor(static_cast<double>(own) / TotalCells * 100.0) : 0.0;
            rec_.score = static_cast<std::uint8_t>(std::clamp(pct, 0.0, 100.0));
            (host_.*t.setLabel)(QString::number(rec_.score) + QLatin1Char('%'));
        }
        return;
    }

    playCue(*t.crashCue);
    if (host_.checked(MenuItem::menu2joueur))
        ++(this->*t.opponentScore);
    (this->*t.timer)->setEnabled(false);
    (this->*t.otherTimer)->setEnabled(false);
    FirstTrail = t.id;
    restart();
}

void Game::playCue(const QString& cue)
{
    // The cue blocks the only thread: nothing is painted while it sounds.
    host_.showChangesNow();
    ModuleSon::play(sound_, cue);
}

void Game::TimerVorlin1_Tick()
{
    static const Trail noir{.id = 0,
                            .x = &Game::X1,
                            .y = &Game::Y1,
                            .dir = &Game::Dir1,
                            .score = &Game::Score1,
                            .opponentScore = &Game::Score2,
                            .timer = &Game::TimerVorlin1,
                            .otherTimer = &Game::TimerVorlin2,
                            .joystickItem = MenuItem::menuJoy1Noir,
                            .soloItem = MenuItem::menu1JoueurNoir,
                            .keyRule = &input::blackKeyRule,
                            .setLabel = &GameHost::setLabelscore1,
                            .crashCue = &ModuleSon::kCrashNoir};
    step(noir);
}

void Game::TimerVorlin2_Tick()
{
    static const Trail rouge{.id = 1,
                             .x = &Game::X2,
                             .y = &Game::Y2,
                             .dir = &Game::Dir2,
                             .score = &Game::Score2,
                             .opponentScore = &Game::Score1,
                             .timer = &Game::TimerVorlin2,
                             .otherTimer = &Game::TimerVorlin1,
                             .joystickItem = MenuItem::menuJoy2Rouge,
                             .soloItem = MenuItem::menu1JoueurRouge,
                             .keyRule = &input::redKeyRule,
                             .setLabel = &GameHost::setLabelscore2,
                             .crashCue = &ModuleSon::kCrashRouge};
    step(rouge);
}

// ---- commands ----------------------------------------------------------------------------

void Game::prepare(platform::RandomSource& random)
{
    JoyInfo.dwSize = sizeof(platform::JoyInfo);
    JoyInfo.dwFlags = platform::kJoyReturnAll;
    FirstTrail = random.below(2);
    StepInterval = 100;
}

Game::Mode Game::mode() const
{
    if (host_.checked(MenuItem::menu1JoueurNoir))
        return Mode::Noir;
    if (host_.checked(MenuItem::menu1JoueurRouge))
        return Mode::Rouge;
    return Mode::Deux;
}

void Game::applyMode(Mode mode)
{
    // The trail that does not play has interval 0: its timer never fires.
    TimerVorlin2->setInterval(mode == Mode::Noir ? 0 : StepInterval);
    TimerVorlin1->setInterval(mode == Mode::Rouge ? 0 : StepInterval);
    Raz();
    Vorlin();
}

void Game::setStepInterval(int ms)
{
    StepInterval = ms;
    applyMode(mode());
}

void Game::setGrid(int drawWidth)
{
    PictureVorlin.setDrawWidth(drawWidth);
    PictureVorlin.refresh();
    restart();
    Vorlin();
}

void Game::redrawAfterResize()
{
    PictureVorlin.refresh();
    restart();
    TimerDebut->setEnabled(true);
}

void Game::CdeStart_Click()
{
    // Not armed (a game running, or a message box of restart open before re-arming):
    // a countdown from 0 would run below zero, so the click does nothing.
    if (CteRebour == 0)
        return;
    TimerCdeStart->setEnabled(true);
    TimerDebut->setEnabled(true);
    TimerTestJoy->setEnabled(false);
    PictureVorlin.refresh();
    if (host_.checked(MenuItem::menu1JoueurNoir)) {
        Score1 = 0;
        host_.setLabelscore1(QStringLiteral("0"));
    }
    if (host_.checked(MenuItem::menu1JoueurRouge)) {
        Score2 = 0;
        host_.setLabelscore2(QStringLiteral("0"));
    }
}

void Game::TimerCdeStart_Tick()
{
    if (CteRebour <= 0) {
        TimerCdeStart->setEnabled(false);
        return;
    }
    --CteRebour;
    if (CteRebour != 0) {
        host_.setStartCaption(QString::number(CteRebour - 1));
        return;
    }
    TimerCdeStart->setEnabled(false);
    host_.setStartCaption(QStringLiteral("Start"));
    host_.setStartEnabled(false);
    playCue(ModuleSon::kStart);
    // The timer enabled first ticks first in every period, and so takes a contested place.
    if (FirstTrail == 0) {
        TimerVorlin1->setEnabled(true);
        TimerVorlin2->setEnabled(true);
    } else {
        TimerVorlin2->setEnabled(true);
        TimerVorlin1->setEnabled(true);
    }
}

void Game::TimerDebut_Tick()
{
    Vorlin();
    TimerDebut->setEnabled(false);
}

void Game::Raz()
{
    Score1 = 0;
    Score2 = 0;
    PictureVorlin.refresh();
    restart();
}

void Game::restart()
{
    // 1. A one-player score above the top score asks for initials (modeless).
    if (rec_.score > rec_.record) {
        host_.setFormEnabled(false);
        host_.showRecordEntry();
    }

    // 2. The title, with the top score in the one-player modes.
    showTitle();

    // 3.
    TimerTestJoy->setEnabled(true);

    // 4. Tallies and the end of a match. Raz re-enters restart, which resets the tallies,
    // so only one winner is announced per call.
    if (host_.checked(MenuItem::menu2joueur)) {
        host_.setLabelscore1(QString::number(Score1));
        host_.setLabelscore2(QString::number(Score2));
        if (Score1 == kMatchPoints) {
            playCue(ModuleSon::kWinNoir);
            host_.showWinner(QStringLiteral("Joueur noir gagne !"));
            Raz();
        }
        if (Score2 == kMatchPoints) {
            playCue(ModuleSon::kWinRouge);
            host_.showWinner(QStringLiteral("Joueur rouge gagne !"));
            Raz();
        }
    }

    // 5. Re-arm.
    CteRebour = 7;
    host_.setStartEnabled(true);
    Dir1 = 2;
    Dir2 = 4;
    LastKey = 0;

    // 6-12. The field laid out for the client area.
    layOutField();
}

void Game::showTitle()
{
    if (!host_.checked(MenuItem::menu2joueur) && !rec_.nom.isEmpty()) {
        host_.setCaption(kTitle + QString(20, QLatin1Char(' ')) + QStringLiteral("Top Score :") +
                         QString(5, QLatin1Char(' ')) + rec_.nom + QLatin1Char(' ') +
                         QString::number(rec_.record) + QLatin1Char('%'));
        host_.setTopScoreItemsVisible(true);
    } else {
        host_.setCaption(kTitle);
        host_.setTopScoreItemsVisible(false);
    }
}

void Game::layOutField()
{
    // Minimized, or too small for a single row of places, the last
    // geometry is kept rather than a negative one.
    const QSize client = host_.clientSize();
    if (host_.minimized() || client.height() - 80 < 10 || client.width() - 20 < 10)
        return;
    auto oddTens = [](int v) {
        v = v / 10 * 10;
        if ((v / 10) % 2 == 0)
            v -= 10;
        return v;
    };
    const int height = oddTens(client.height() - 80);
    const int width = oddTens(client.width() - 20);
    PictureVorlin.setSize(width, height);
    const int dw = PictureVorlin.drawWidth();
    TotalCells = (height / dw) * (width / dw);
    CenterX = width / 2;
    host_.setFrameLeft(units::roundEven(client.width() / 2.0 - 153));
    X1Off = X1 = CenterX - 140;
    Y1Off = Y1 = height / 2;
    X2Off = X2 = CenterX + 140;
    Y2Off = Y2 = height / 2;
}

void Game::TimerTestJoy_Tick()
{
    if (joystick_.joyGetPosEx(0, JoyInfo) == 0)
        host_.enableJoystickItems(0);
    if (JoyInfo.dwButtons & 3)
        CdeStart_Click();
    if (joystick_.joyGetPosEx(1, JoyInfo) == 0)
        host_.enableJoystickItems(1);
    if (JoyInfo.dwButtons & 3)
        CdeStart_Click();
    if (LastKey == input::vk::F1) {
        LastKey = 0;
        host_.showHelp();
    }
    if (LastKey == input::vk::Esc)
        host_.saveAndQuit();
}

void Game::Form_KeyDown(int keyCode)
{
    // F1 and Esc are also taken between games, where the idle poll looks for them; not
    // after a re-arming while the trails still move, where they would end the game.
    const bool pollKey = keyCode == input::vk::F1 || keyCode == input::vk::Esc;
    const bool moving = TimerVorlin1->enabled() || TimerVorlin2->enabled();
    if (CteRebour == 0 || (CteRebour == 7 && pollKey && !moving))
        LastKey = keyCode;
}
