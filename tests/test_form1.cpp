// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeServices.h"
#include "mainwindow/Form1.h"
#include "mainwindow/PlayfieldView.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QMessageBox>
#include "look/WindowLook.h"
#include <set>
#include <QWindow>
#include "windows/FormInRecor.h"
#include <gtest/gtest.h>

namespace {

struct Form1Fixture : ::testing::Test, FakeServices {
    Form1 form{services(), rec};

    void SetUp() override
    {
        form.Form_Load();
        form.show();
        QCoreApplication::processEvents();
    }

    // One line per item: caption, then flags. Separators are "-".
    static std::vector<std::string> describe(QMenu* menu, const std::string& indent = "")
    {
        std::vector<std::string> out;
        for (QAction* a : menu->actions()) {
            std::string line = indent + (a->isSeparator() ? "-" : a->text().toStdString());
            if (a->isChecked()) line += " [x]";
            if (a->isVisible() && !a->isEnabled()) line += " (disabled)";
            if (!a->isVisible()) line += " (hidden)";
            if (!a->shortcut().isEmpty()) line += " (shortcut)";
            out.push_back(line);
            if (a->menu()) {
                auto sub = describe(a->menu(), indent + "  ");
                out.insert(out.end(), sub.begin(), sub.end());
            }
        }
        return out;
    }

    int checkedIn(std::initializer_list<QAction*> group)
    {
        int n = 0;
        for (QAction* a : group) n += a->isChecked();
        return n;
    }

    void expectOneTickedPerGroup()
    {
        EXPECT_EQ(checkedIn({form.menu1JoueurRouge, form.menu1JoueurNoir, form.menu2joueur}), 1);
        EXPECT_EQ(checkedIn({form.menuvitesseDebutant, form.menuVitesseMoyen, form.menuVitesseGrandmaitre}), 1);
        EXPECT_EQ(checkedIn({form.menuSuperMini, form.menuMini, form.menuStandard}), 1);
        EXPECT_EQ(checkedIn({form.menuJoy1Noir, form.menuClavierNoir}), 1);
        EXPECT_EQ(checkedIn({form.menuJoy2Rouge, form.menuClavierRouge}), 1);
    }
};

} // namespace

// The menu tree is what the player sees: captions, order, separators and start states.
TEST_F(Form1Fixture, MenuTreeAsDesigned)
{
    const std::vector<std::string> bar{"&Jeux", "&Option", "&?"};
    std::vector<std::string> seen;
    for (QAction* a : form.menuBar()->actions()) seen.push_back(a->text().toStdString());
    EXPECT_EQ(seen, bar);

    EXPECT_EQ(describe(form.menuJeux), (std::vector<std::string>{
        "1 Joueur le &Rouge", "1 Joueur le &Noir", "-", "&2 Joueurs [x]", "-", "&Réseau (disabled)",
        "- (hidden)", "&Effacer top Score (hidden)"}));
    EXPECT_EQ(describe(form.MenuOption), (std::vector<std::string>{
        "&Vitesse", "  &Débutant", "  &Moyen [x]", "  &GrandMaître", "-", "&Taille", "  &Supermini", "  M&ini",
        "  &Standard [x]", "-", "contrôle &Noir", "  &Manette 1  (disabled)", "  &Clavier [x]", "contrôle &Rouge",
        "  &Manette 2  (disabled)", "  &Clavier [x]", "&Réglage manette (disabled)"}));
    EXPECT_EQ(describe(form.menuIntero), (std::vector<std::string>{"A &propos", "&Aide"}));
}

// Every command leaves exactly one item ticked in each group, also when clicked twice.
TEST_F(Form1Fixture, EveryCommandKeepsOneTickPerGroup)
{
    form.enableJoystickItems(0);
    form.enableJoystickItems(1);
    for (QAction* a : {form.menu1JoueurNoir, form.menu1JoueurNoir, form.menuvitesseDebutant, form.menuSuperMini,
                       form.menuJoy1Noir, form.menuJoy2Rouge, form.menu1JoueurRouge, form.menuMini,
                       form.menuVitesseGrandmaitre, form.menuClavierNoir, form.menuClavierRouge, form.menu2joueur,
                       form.menuStandard, form.menuStandard, form.menuVitesseMoyen}) {
        a->trigger();
        SCOPED_TRACE(a->text().toStdString());
        expectOneTickedPerGroup();
        EXPECT_TRUE(a->isChecked());
    }
}

struct ModeLayout {
    const char* name;
    QAction* Form1::*item;
    int interval1, interval2;
    bool label1, label2;
    int label1Left, label1Width, label2Left, label2Width, startLeft;
};

// The three layouts of the score panel and the intervals that hold the idle trail still.
TEST_F(Form1Fixture, ModeCommandsSetIntervalsAndLayout)
{
    const ModeLayout cases[] = {
        {"noir", &Form1::menu1JoueurNoir, 100, 0, true, false, 35, 115, 0, 0, 169},
        {"rouge", &Form1::menu1JoueurRouge, 0, 100, false, true, 0, 0, 160, 115, 37},
        {"deux", &Form1::menu2joueur, 100, 100, true, true, 24, 65, 224, 65, 104},
    };
    for (const ModeLayout& c : cases) {
        SCOPED_TRACE(c.name);
        (form.*c.item)->trigger();
        EXPECT_EQ(form.game.TimerVorlin1->interval(), c.interval1);
        EXPECT_EQ(form.game.TimerVorlin2->interval(), c.interval2);
        EXPECT_EQ(form.Labelscore1->isVisible(), c.label1);
        EXPECT_EQ(form.Labelscore2->isVisible(), c.label2);
        if (c.label1) {
            EXPECT_EQ(form.Labelscore1->geometry(), QRect(c.label1Left, 16, c.label1Width, 41));
        }
        if (c.label2) {
            EXPECT_EQ(form.Labelscore2->geometry(), QRect(c.label2Left, 16, c.label2Width, 41));
        }
        EXPECT_EQ(form.CdeStart->geometry(), QRect(c.startLeft, 16, 105, 41));
    }
}

// A speed change keeps the mode, carries the interval to the trails that play, and restarts.
TEST_F(Form1Fixture, SpeedCommandKeepsTheModeAndRestartsEvenDuringAGame)
{
    form.menu1JoueurRouge->trigger();
    form.CdeStart->click();
    clock.advance(700 + 300);
    ASSERT_EQ(form.game.CteRebour, 0);
    ASSERT_GT(form.game.Score2, 0);
    form.menuvitesseDebutant->trigger();
    EXPECT_TRUE(form.menu1JoueurRouge->isChecked());
    EXPECT_EQ(form.game.StepInterval, 200);
    EXPECT_EQ(form.game.TimerVorlin2->interval(), 200);
    EXPECT_EQ(form.game.TimerVorlin1->interval(), 0);
    EXPECT_EQ(form.game.Score2, 0);
    EXPECT_EQ(form.game.CteRebour, 7);
    form.menuVitesseGrandmaitre->trigger();
    EXPECT_EQ(form.game.TimerVorlin2->interval(), 1);
    EXPECT_EQ(form.game.TimerVorlin2->effectiveInterval(), 10);
}

// The grid size changes the cells, not the window or the playfield's pixels.
TEST_F(Form1Fixture, SizeCommandKeepsTheWindowAndRecountsTheCells)
{
    const QSize window = form.size();
    for (auto [item, width, cells] : {std::tuple{form.menuSuperMini, 2, 29375}, std::tuple{form.menuMini, 5, 4700},
                                      std::tuple{form.menuStandard, 10, 1175}}) {
        item->trigger();
        EXPECT_EQ(form.size(), window);
        EXPECT_EQ(form.game.PictureVorlin.width(), 470);
        EXPECT_EQ(form.game.PictureVorlin.height(), 250);
        EXPECT_EQ(form.game.PictureVorlin.drawWidth(), width);
        EXPECT_EQ(form.game.TotalCells, cells);
    }
}

TEST_F(Form1Fixture, DesignedLayout)
{
    EXPECT_EQ(form.clientSize(), QSize(496, 340));
    EXPECT_EQ(form.PictureVorlin->geometry(), QRect(15, 80, 470, 250));
    EXPECT_EQ(form.Frame1->geometry(), QRect(95, 8, 313, 65));
    EXPECT_EQ(form.LineMenugris->geometry(), QRect(0, 0, 496, 1));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vorlin"));
    EXPECT_EQ(form.Labelscore1->font().pointSize(), 24);
    EXPECT_TRUE(form.Labelscore1->font().bold());
    EXPECT_FALSE(form.Labelscore2->font().bold());
}

// The smallest client area the window allows, which is its minimum size under the menu bar
// (so the window system offers no smaller one), still holds both start places.
TEST_F(Form1Fixture, ShrinkingBelowTheMinimumGrowsBackEnabled)
{
    form.resizeClient(300, 100);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.clientSize(), QSize(331, 151));
    EXPECT_EQ(form.minimumSize(), QSize(331, 151 + form.menuBar()->sizeHint().height()));
    EXPECT_EQ(form.game.PictureVorlin.width(), 310);
    EXPECT_EQ(form.game.PictureVorlin.height(), 70);

    form.resizeClient(331, 151);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.game.X1, 15);
    EXPECT_EQ(form.game.X2, 295);
    EXPECT_EQ(form.game.Y1, 35);
    EXPECT_EQ(form.LineMenublanc->width(), 331);
}

// Minimizing touches nothing; restoring runs the whole handler.
TEST_F(Form1Fixture, MinimizeChangesNothingAndRestoreRestarts)
{
    form.menu1JoueurNoir->trigger();
    form.game.PictureVorlin.line(100, 100, 100, 100, Game::kRouge);
    form.showMinimized();
    QCoreApplication::processEvents();
    form.Form_Resize();
    EXPECT_EQ(form.game.PictureVorlin.point(100, 100), Game::kRouge);
    form.game.CteRebour = 0;
    form.showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.game.PictureVorlin.point(100, 100), Game::kBackground);
    EXPECT_EQ(form.game.CteRebour, 7);
    EXPECT_TRUE(form.game.TimerDebut->enabled());
}

// Key preview: keys reach the game whichever widget has the focus.
TEST_F(Form1Fixture, KeysReachTheGameThroughTheFocusedButton)
{
    form.CdeStart->click();
    clock.advance(700);
    ASSERT_EQ(form.game.CteRebour, 0);
    form.CdeStart->setEnabled(true);
    form.CdeStart->setFocus();
    QTest::keyClick(form.CdeStart, Qt::Key_Z);
    EXPECT_EQ(form.game.LastKey, 90);
    QTest::keyClick(&form, Qt::Key_8, Qt::KeypadModifier);
    EXPECT_EQ(form.game.LastKey, 104);
    // The Escape that leaves the menu bar's keyboard navigation is the menu bar's.
    form.activateWindow();
    form.menuBar()->setFocus();
    QTest::keyClick(form.menuBar(), Qt::Key_Alt);
    QTest::keyClick(form.menuBar(), Qt::Key_Right);
    form.game.LastKey = 0;
    QTest::keyClick(form.menuBar(), Qt::Key_Escape);
    EXPECT_EQ(form.game.LastKey, 0);
}

// The record window over a disabled main window: owned by it, so the window manager keeps it
// on top; the main window ignores its close box and is not greyed.
TEST_F(Form1Fixture, RecordEntryIsOwnedAndTheDisabledWindowKeepsItsLook)
{
    rec.score = 5;
    form.game.restart();
    ASSERT_TRUE(form.recordWindow);
    EXPECT_EQ(form.recordWindow->windowHandle()->transientParent(), form.windowHandle());
    EXPECT_TRUE(form.recordWindow->isEnabled());
    ASSERT_FALSE(form.isEnabled());
    EXPECT_EQ(form.Labelscore1->palette().color(QPalette::Disabled, QPalette::WindowText),
              form.Labelscore1->palette().color(QPalette::Active, QPalette::WindowText));
    form.close();
    EXPECT_TRUE(form.isVisible()) << "the close box of a disabled window does nothing";
    EXPECT_TRUE(form.recordWindow);
    // Where the compositor leaves the keyboard with the disabled window, the initials still
    // reach the record window.
    QTest::keyClicks(form.CdeStart, "abc");
    EXPECT_EQ(form.recordWindow->Text1->text(), "Abc");
}

// In a check-mark group only the chosen item shows a mark: an unticked item shows no box.
TEST_F(Form1Fixture, MenusShowOnlyTheTick)
{
    form.menuVitesse->popup(QPoint(0, 0));
    QCoreApplication::processEvents();
    const QImage shot = form.menuVitesse->grab().toImage();
    auto coloursBeside = [&](QAction* a) {
        const QRect r = form.menuVitesse->actionGeometry(a);
        std::set<QRgb> colours;
        for (int y = r.top() + 2; y < r.bottom() - 1; ++y)
            for (int x = r.left() + 2; x < r.left() + 22; ++x)
                colours.insert(shot.pixel(x * shot.width() / form.menuVitesse->width(), y * shot.height() / form.menuVitesse->height()));
        return colours.size();
    };
    EXPECT_GT(coloursBeside(form.menuVitesseMoyen), 1u) << "the ticked item shows its mark";
    EXPECT_EQ(coloursBeside(form.menuvitesseDebutant), 1u) << "an unticked item shows nothing";
    form.menuVitesse->close();
}

// Qt's own buttons speak French whatever the locale: "Effacer top Score" asks OK / Annuler.
TEST(FrenchQtTexts, StandardButtonsAreFrench)
{
    look::loadFrenchQtTexts();
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove('&'), "Annuler");
    EXPECT_EQ(box.button(QMessageBox::Ok)->text().remove('&'), "OK");
}

// A trail crash through real widgets: the point shows on the other trail's label.
TEST_F(Form1Fixture, TwoPlayerGameEndsWithAPointForTheOther)
{
    form.CdeStart->click();
    clock.advance(700);
    QTest::keyClick(&form, Qt::Key_Up);
    clock.advanceUntil([&] { return !form.game.TimerVorlin1->enabled(); }, 10'000);
    EXPECT_EQ(form.Labelscore1->text(), "1");
    EXPECT_EQ(form.Labelscore2->text(), "0");
    EXPECT_TRUE(form.CdeStart->isEnabled());
    EXPECT_EQ(form.CdeStart->text(), "Start");
}

// The start cue holds the game: the button it leaves, "Start" greyed, is painted before it
// sounds, not after.
TEST_F(Form1Fixture, TheStartCueSoundsOverTheGreyedStart)
{
    QString painted, onScreen;
    struct PaintWatch final : QObject {
        QString& painted;
        explicit PaintWatch(QString& p) : painted(p) {}
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (auto* b = static_cast<QPushButton*>(o); e->type() == QEvent::Paint)
                painted = b->text() + (b->isEnabled() ? "" : " (disabled)");
            return false;
        }
    } watch(painted);
    form.CdeStart->installEventFilter(&watch);
    sound.during = [&] { onScreen = painted; };
    form.CdeStart->click();
    clock.advance(700);
    EXPECT_EQ(onScreen, "Start (disabled)");
}

// Joystick items are enabled when a joystick answers, and never disabled again.
TEST_F(Form1Fixture, JoystickItemsAreEnabledForGood)
{
    joystick.present[0] = true;
    form.game.TimerTestJoy_Tick();
    EXPECT_TRUE(form.menuJoy1Noir->isEnabled());
    EXPECT_FALSE(form.menuJoy2Rouge->isEnabled());
    EXPECT_TRUE(form.menuReglageJoy->isEnabled());
    joystick.present[0] = false;
    form.game.TimerTestJoy_Tick();
    EXPECT_TRUE(form.menuJoy1Noir->isEnabled());
}
