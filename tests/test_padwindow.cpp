// SPDX-License-Identifier: GPL-3.0-or-later
// The game and the pad window on SDL's virtual joysticks.
#include "Fakes.h"
#include "SdlVirtualPads.h"
#include "mainwindow/Form1.h"
#include "support/VirtualClock.h"
#include "windows/FormManette.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>

// Joystick 2 starts the game with its button and steers red; black stays on the keyboard.
TEST_F(SdlJoystickTest, AJoystickStartsAndSteersAGame)
{
    Log log;
    VirtualClock clock;
    FakeSound sound(log);
    FakeMessageBox messages(log);
    FakeRandom random;
    ModuleNom rec;
    SdlJoystick joystick;
    VirtualDevice first = VirtualDevice::stick(2, 2);
    VirtualDevice second = VirtualDevice::stick(2, 2);
    for (VirtualDevice* d : {&first, &second}) {
        d->axis(0, 0);
        d->axis(1, 0);
    }
    Form1 form({clock, sound, messages, joystick, random}, rec);
    form.Form_Load();
    EXPECT_FALSE(form.menuJoy2Rouge->isEnabled());

    clock.advance(50);
    ASSERT_TRUE(form.menuJoy1Noir->isEnabled()) << "the poll found the joysticks";
    ASSERT_TRUE(form.menuJoy2Rouge->isEnabled());
    EXPECT_TRUE(form.menuReglageJoy->isEnabled());
    form.menuJoy2Rouge->trigger();

    second.button(1, true);
    clock.advance(50);
    second.button(1, false);
    EXPECT_TRUE(form.game.TimerCdeStart->enabled()) << "button 2 of joystick 2 pressed Start";
    clock.advanceUntil([&] { return form.game.CteRebour == 0; }, 1000);

    second.axis(1, -32768); // stick up
    second.axis(0, 0);
    clock.advance(100);
    EXPECT_EQ(form.game.Dir2, 3);
    QTest::keyClick(&form, Qt::Key_W);
    clock.advance(100);
    EXPECT_EQ(form.game.Dir1, 1) << "the keyboard still steers black";
    EXPECT_EQ(form.game.Dir2, 3);
}

// The pad window shows what the game reads of each slot: the pad's name, its stick, a pressed
// button; it follows a pad pulled out and another plugged in; with more pads than slots the
// player chooses, and the chosen pad is the one the game then reads for black.
TEST_F(SdlJoystickTest, PadWindowShowsWhatTheGameReads)
{
    VirtualClock clock;
    SdlJoystick joystick;
    VirtualDevice first(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0, "Vorlin pad A");
    FormManette window(joystick, clock);
    clock.advance(50);
    EXPECT_EQ(window.padName[0]->text(), "Vorlin pad A");
    EXPECT_EQ(window.padName[1]->text(), "Aucune manette");

    first.axis(0, 32767);
    first.button(1, true);
    clock.advance(50);
    EXPECT_GE(window.stick[0]->markerRect().right(), window.stick[0]->width() - 2) << "the marker follows the stick";
    EXPECT_EQ(window.buttons[0]->text(), "Boutons : 2");

    first.unplug();
    clock.advance(50);
    EXPECT_EQ(window.padName[0]->text(), "Aucune manette");
    VirtualDevice second(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0, "Vorlin pad B");
    VirtualDevice third(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0, "Vorlin pad C");
    VirtualDevice fourth(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0, "Vorlin pad D");
    clock.advance(50);
    EXPECT_EQ(joystick.slotName(0), "Vorlin pad B");
    ASSERT_TRUE(window.chooser[0]->isVisibleTo(&window)) << "three pads for two slots: a choice";

    const int d = joystick.connectedPads().indexOf(QStringLiteral("Vorlin pad D"));
    ASSERT_GE(d, 0);
    emit window.chooser[0]->activated(d);
    fourth.axis(0, -32768);
    JoyInfo info;
    ASSERT_EQ(joystick.joyGetPosEx(0, info), 0);
    EXPECT_EQ(info.dwXpos, 0u) << "black now reads pad D";
    EXPECT_EQ(window.padName[0]->text(), "Vorlin pad D");
}

// Nothing in the pad window is cut: the marker stays whole in a corner at full push, a long
// name ends in an ellipsis with the whole name in its tooltip. A plain joystick's hat steers
// nothing, and the window says so beside it.
TEST_F(SdlJoystickTest, PadWindowShowsEverythingWhole)
{
    VirtualClock clock;
    SdlJoystick joystick;
    const char* const longName = "Sony Interactive Entertainment Wireless Controller";
    VirtualDevice pad(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 1, longName);
    FormManette window(joystick, clock);
    pad.axis(0, 32767);
    pad.axis(1, -32768);
    clock.advance(50);
    const StickView* view = window.stick[0];
    EXPECT_TRUE(QRectF(view->rect()).contains(view->markerRect())) << "clipped at the top right corner";
    EXPECT_GE(view->markerRect().right(), view->width() - 2);
    EXPECT_LE(view->markerRect().top(), 1);

    EXPECT_TRUE(window.padName[0]->text().endsWith(QChar(0x2026)));
    EXPECT_LE(window.padName[0]->fontMetrics().horizontalAdvance(window.padName[0]->text()), window.padName[0]->width());
    EXPECT_EQ(window.padName[0]->toolTip(), longName);

    pad.axis(0, 0);
    pad.axis(1, 0);
    pad.hat(SDL_HAT_LEFT);
    clock.advance(50);
    EXPECT_EQ(window.dpad[0]->text(), "Croix : gauche\n(la vorlin suit le manche)");
    EXPECT_LE(window.dpad[0]->sizeHint().height(), window.dpad[0]->height());
    EXPECT_LE(window.dpad[0]->sizeHint().width(), window.dpad[0]->width());
}
