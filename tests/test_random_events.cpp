// SPDX-License-Identifier: GPL-3.0-or-later
// Tens of thousands of random player actions on the real main window, with the invariants
// checked after each one. Reproduce a failure with VORLIN_SEED=<the printed seed>.
#include "Fakes.h"
#include "anipic/AniGif.h"
#include "anipic/ImageArray.h"
#include "mainwindow/Form1.h"
#include "platform/Shell.h"
#include "windows/AuxWindows.h"
#include "windows/FormAbout.h"
#include "windows/FormAide.h"
#include "windows/FormVersionHistory.h"
#include "support/VirtualClock.h"

#include <QAction>
#include <QMenu>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <random>

namespace {

QWidget* recordWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle().contains(QStringLiteral("RECORD")))
            return w;
    return nullptr;
}

// A key press and release, as the window system delivers them.
void sendKey(QWidget* w, int key, Qt::KeyboardModifiers mods, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(w, &release);
}

int ticked(std::initializer_list<QAction*> group)
{
    int n = 0;
    for (QAction* a : group)
        n += a->isChecked();
    return n;
}

} // namespace

TEST(RandomEvents, InvariantsHoldAfterEveryEvent)
{
    const QByteArray env = qgetenv("VORLIN_SEED");
    const unsigned seed = env.isEmpty() ? std::random_device{}() : env.toUInt();
    std::printf("random events: VORLIN_SEED=%u\n", seed);
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    QFile::link(QStringLiteral(VORLIN_SOURCE_DIR "/Vorlin107_rsc"), dir.filePath("Vorlin107_rsc"));
    QDir::setCurrent(dir.path());

    Log log;
    VirtualClock clock;
    FakeSound sound(log);
    FakeMessageBox messages(log);
    FakeJoystick joystick;
    FakeShell shell;
    FakeRandom random;
    ModuleNom rec;
    AniGif aniGif(clock);
    auto form = std::make_unique<Form1>(Services{clock, sound, messages, joystick, random}, rec);
    AuxWindows windows(form.get(), aniGif, shell, joystick, clock);
    form->onHelp = [&] { windows.showHelp(); };
    form->onAbout = [&] { windows.showAbout(); };
    // Timers tick under a modal box; the answer is random.
    messages.whileOpen = [&] {
        messages.answers.push_back(pick(2) ? platform::MessageBox::Answer::Ok : platform::MessageBox::Answer::Cancel);
        clock.advance(pick(200));
    };
    form->Form_Load();
    form->show();
    QApplication::processEvents();
    log.reserve(1 << 16);

    const int keys[] = {Qt::Key_Q, Qt::Key_S, Qt::Key_Z, Qt::Key_W, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                        Qt::Key_Down, Qt::Key_2, Qt::Key_4, Qt::Key_6, Qt::Key_8, Qt::Key_F1, Qt::Key_A, Qt::Key_Space};
    QList<QAction*> actions;
    for (QAction* a : form->findChildren<QAction*>())
        if (!a->isSeparator() && !a->menu())
            actions << a;

    const int steering[] = {Qt::Key_Q, Qt::Key_S, Qt::Key_Z, Qt::Key_W, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                            Qt::Key_Down};

    const int events = qEnvironmentVariableIntValue("VORLIN_EVENTS") > 0 ? qEnvironmentVariableIntValue("VORLIN_EVENTS") : 20000;
    // Mode and size commands reset the tallies, and at random they come too often for a
    // two-player match to reach its end: the last quarter of every block of 1000 events
    // plays matches only (start, steer, let longer times pass), some ten matches a run.
    constexpr int kBlock = 1000, kMatchPart = 250;
    int crashes = 0, records = 0, wins = 0;
    QWidget* lastRecord = nullptr;
    for (int i = 0; i < events; ++i) {
        for (const std::string& e : log) {
            crashes += e == "sound bark.wav" || e == "sound Dogbrk.wav";
            wins += e.rfind("box Joueur", 0) == 0;
        }
        log.clear();
        const bool matchPart = i % kBlock >= kBlock - kMatchPart;
        int kind = pick(100);
        if (matchPart)
            kind = kind < 20 ? 50 : kind < 30 ? 30 : 100; // start, a steering key, time
        std::string what;
        if (i % kBlock == kBlock - kMatchPart) {
            what = "matches: close the windows, two players";
            for (QWidget* w : {recordWindow(), static_cast<QWidget*>(windows.help), static_cast<QWidget*>(windows.about),
                               static_cast<QWidget*>(windows.history)})
                if (w)
                    w->close();
            QApplication::processEvents();
            if (form->isEnabled())
                form->menu2joueur->trigger();
        } else if (matchPart && kind == 30) {
            what = "matches: steer";
            sendKey(form.get(), steering[pick(std::size(steering))], Qt::NoModifier);
        } else if (QWidget* r = recordWindow(); r && kind < 30) {
            if (pick(3) == 0) {
                what = "record: type";
                static const QString typed = QStringLiteral("abcxyzAZ09 {é€Ω\b");
                const QChar c = typed[pick(typed.size())];
                sendKey(r->focusWidget() ? r->focusWidget() : r, c == '\b' ? Qt::Key_Backspace : Qt::Key_A,
                        Qt::NoModifier, c == '\b' ? QString() : QString(c));
            } else if (pick(2) == 0) {
                what = "record: OK";
                for (QPushButton* b : r->findChildren<QPushButton*>())
                    if (b->text() == QStringLiteral("OK"))
                        b->click();
            } else {
                what = "record: close";
                r->close();
            }
        } else if (kind < 35) {
            what = "key";
            sendKey(form.get(), keys[pick(std::size(keys))], pick(4) == 0 ? Qt::KeypadModifier : Qt::NoModifier);
        } else if (kind < 50) {
            QAction* a = actions[pick(static_cast<int>(actions.size()))];
            what = "menu " + a->text().toStdString();
            if (a->isEnabled() && a->isVisible() && form->isEnabled())
                a->trigger();
        } else if (kind < 58) {
            what = "start";
            if (form->isEnabled() && form->CdeStart->isEnabled())
                form->CdeStart->click();
        } else if (kind < 62) {
            what = "resize";
            form->resizeClient(200 + pick(900), 100 + pick(700));
            QApplication::processEvents();
        } else if (kind < 66) {
            what = "activate";
            QWidget* targets[] = {form.get(), windows.help, windows.about, windows.history};
            if (QWidget* w = targets[pick(4)]; w && w->isVisible())
                w->activateWindow();
            QApplication::processEvents();
        } else if (kind < 68) {
            what = "close a window";
            QWidget* targets[] = {windows.help, windows.about, windows.history};
            if (QWidget* w = targets[pick(3)]; w)
                w->close();
            QApplication::processEvents();
        } else if (kind < 69) {
            what = "about: top area, links";
            if (windows.about) {
                if (pick(2)) windows.about->Frame1_Click(); else windows.about->Label3_lienWeb_Click();
            }
        } else {
            what = "time";
            clock.advance(1 + pick(matchPart ? 2000 : 400));
        }
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QWidget* r = recordWindow();
        records += r && r != lastRecord;
        lastRecord = r;

        SCOPED_TRACE("event " + std::to_string(i) + ": " + what + " (VORLIN_SEED=" + std::to_string(seed) + ")");
        ASSERT_EQ(ticked({form->menu1JoueurRouge, form->menu1JoueurNoir, form->menu2joueur}), 1);
        ASSERT_EQ(ticked({form->menuvitesseDebutant, form->menuVitesseMoyen, form->menuVitesseGrandmaitre}), 1);
        ASSERT_EQ(ticked({form->menuSuperMini, form->menuMini, form->menuStandard}), 1);
        ASSERT_EQ(ticked({form->menuJoy1Noir, form->menuClavierNoir}), 1);
        ASSERT_EQ(ticked({form->menuJoy2Rouge, form->menuClavierRouge}), 1);
        const Game& g = form->game;
        const int dw = g.PictureVorlin.drawWidth();
        const int midRow = g.PictureVorlin.height() / 2;
        ASSERT_EQ((g.X1 - (g.CenterX - 140)) % dw, 0);
        ASSERT_EQ((g.Y1 - midRow) % dw, 0);
        ASSERT_EQ((g.X2 - (g.CenterX + 140)) % dw, 0);
        ASSERT_EQ((g.Y2 - midRow) % dw, 0);
        ASSERT_GE(g.CteRebour, 0);
        ASSERT_LE(g.CteRebour, 7);
        if (!recordWindow() && !windows.about) {
            ASSERT_TRUE(form->isEnabled());
        }
        for (auto [array, count, total] : {std::tuple{aniGif.AnimatedGIF.data(), aniGif.FrameCount, aniGif.TotalFrames},
                                           std::tuple{aniGif.AnimatedGIF1.data(), aniGif.FrameCount1, aniGif.TotalFrames1}}) {
            ASSERT_GE(count, 0);
            ASSERT_GE(total, 0);
            if (array) {
                ASSERT_GE(array->count(), 1);
            }
        }
    }
    form.reset();
    std::printf("random events: %d events, %d crashes, %d record windows, %d matches ended\n", events, crashes, records, wins);
    if (events >= 20000) {
        EXPECT_GE(wins, 1) << "no match reached its end";
    }
    QDir::setCurrent(before);
}
