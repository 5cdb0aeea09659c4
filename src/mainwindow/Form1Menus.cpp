// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu bar and its commands.
#include "mainwindow/Form1.h"

#include "look/WindowLook.h"

#include <QMenuBar>

namespace {

QAction* checkable(QMenu* menu, const QString& caption, bool on = false)
{
    QAction* a = menu->addAction(caption);
    a->setCheckable(true);
    a->setChecked(on);
    return a;
}

} // namespace

void Form1::buildMenus()
{
    QMenuBar* bar = menuBar();
    menuJeux = bar->addMenu(QStringLiteral("&Jeux"));
    menu1JoueurRouge = checkable(menuJeux, QStringLiteral("1 Joueur le &Rouge"));
    menu1JoueurNoir = checkable(menuJeux, QStringLiteral("1 Joueur le &Noir"));
    menuseparjoueur1_2 = menuJeux->addSeparator();
    menu2joueur = checkable(menuJeux, QStringLiteral("&2 Joueurs"), true);
    menuSeparJeuReseau = menuJeux->addSeparator();
    menuJeuReseau = menuJeux->addAction(QStringLiteral("&Réseau"));
    menuJeuReseau->setEnabled(false);
    separReseau = menuJeux->addSeparator();
    menueffacer = menuJeux->addAction(QStringLiteral("&Effacer top Score"));

    MenuOption = bar->addMenu(QStringLiteral("&Option"));
    menuVitesse = MenuOption->addMenu(QStringLiteral("&Vitesse"));
    menuvitesseDebutant = checkable(menuVitesse, QStringLiteral("&Débutant"));
    menuVitesseMoyen = checkable(menuVitesse, QStringLiteral("&Moyen"), true);
    menuVitesseGrandmaitre = checkable(menuVitesse, QStringLiteral("&GrandMaître"));
    menuseparcontrole1 = MenuOption->addSeparator();
    menuTaille = MenuOption->addMenu(QStringLiteral("&Taille"));
    menuSuperMini = checkable(menuTaille, QStringLiteral("&Supermini"));
    menuMini = checkable(menuTaille, QStringLiteral("M&ini"));
    menuStandard = checkable(menuTaille, QStringLiteral("&Standard"));
    menuseparcontrole2 = MenuOption->addSeparator();
    menuControlJoueurNoir = MenuOption->addMenu(QStringLiteral("contrôle &Noir"));
    menuJoy1Noir = checkable(menuControlJoueurNoir, QStringLiteral("&Manette 1 "));
    menuJoy1Noir->setEnabled(false);
    menuClavierNoir = checkable(menuControlJoueurNoir, QStringLiteral("&Clavier"), true);
    menuControlJoueurRouge = MenuOption->addMenu(QStringLiteral("contrôle &Rouge"));
    menuJoy2Rouge = checkable(menuControlJoueurRouge, QStringLiteral("&Manette 2 "));
    menuJoy2Rouge->setEnabled(false);
    menuClavierRouge = checkable(menuControlJoueurRouge, QStringLiteral("&Clavier"), true);
    menuReglageJoy = MenuOption->addAction(QStringLiteral("&Réglage manette"));
    menuReglageJoy->setEnabled(false);

    menuIntero = bar->addMenu(QStringLiteral("&?"));
    menuApropos = menuIntero->addAction(QStringLiteral("A &propos"));
    menuaide = menuIntero->addAction(QStringLiteral("&Aide"));

    for (QMenu* m : {menuJeux, MenuOption, menuVitesse, menuTaille, menuControlJoueurNoir, menuControlJoueurRouge, menuIntero})
        m->setStyle(look::menuStyle());
}

void Form1::connectHandlers()
{
    const std::pair<QAction*, void (Form1::*)()> handlers[] = {
        {menu1JoueurNoir, &Form1::menu1JoueurNoir_Click},
        {menu1JoueurRouge, &Form1::menu1JoueurRouge_Click},
        {menu2joueur, &Form1::menu2joueur_Click},
        {menuvitesseDebutant, &Form1::menuvitesseDebutant_Click},
        {menuVitesseMoyen, &Form1::menuVitesseMoyen_Click},
        {menuVitesseGrandmaitre, &Form1::menuVitesseGrandmaitre_Click},
        {menuSuperMini, &Form1::menuSuperMini_Click},
        {menuMini, &Form1::menuMini_Click},
        {menuStandard, &Form1::menuStandard_Click},
        {menuClavierNoir, &Form1::menuClavierNoir_Click},
        {menuJoy1Noir, &Form1::menuJoy1Noir_Click},
        {menuClavierRouge, &Form1::menuClavierRouge_Click},
        {menuJoy2Rouge, &Form1::menuJoy2Rouge_Click},
        {menuReglageJoy, &Form1::menuReglageJoy_Click},
        {menuApropos, &Form1::menuApropos_Click},
        {menuaide, &Form1::menuaide_Click},
    };
    for (const auto& [action, handler] : handlers)
        connect(action, &QAction::triggered, this, handler);
    connect(menueffacer, &QAction::triggered, this, &Form1::menueffacer_Click);
}

// ---- menu commands ---------------------------------------------------------------------

void Form1::modeCommand(QAction* item)
{
    item->setChecked(true);
    for (QAction* other : {menu1JoueurRouge, menu1JoueurNoir, menu2joueur})
        if (other != item)
            other->setChecked(false);

    const Game::Mode mode = item == menu1JoueurNoir    ? Game::Mode::Noir
                            : item == menu1JoueurRouge ? Game::Mode::Rouge
                                                       : Game::Mode::Deux;
    layOutPanel(mode);
    game.applyMode(mode);
}

void Form1::menu1JoueurNoir_Click() { modeCommand(menu1JoueurNoir); }
void Form1::menu1JoueurRouge_Click() { modeCommand(menu1JoueurRouge); }
void Form1::menu2joueur_Click() { modeCommand(menu2joueur); }

void Form1::speedCommand(QAction* item, int interval)
{
    // The marks are written in the order Débutant, GrandMaître, Moyen.
    menuvitesseDebutant->setChecked(item == menuvitesseDebutant);
    menuVitesseGrandmaitre->setChecked(item == menuVitesseGrandmaitre);
    menuVitesseMoyen->setChecked(item == menuVitesseMoyen);
    game.setStepInterval(interval);
}

void Form1::menuvitesseDebutant_Click() { speedCommand(menuvitesseDebutant, 200); }
void Form1::menuVitesseMoyen_Click() { speedCommand(menuVitesseMoyen, 100); }
void Form1::menuVitesseGrandmaitre_Click() { speedCommand(menuVitesseGrandmaitre, 1); }

void Form1::sizeCommand(QAction* item, int drawWidth)
{
    item->setChecked(true);
    if (item == menuSuperMini) {
        menuMini->setChecked(false);
        menuStandard->setChecked(false);
    } else if (item == menuMini) {
        menuSuperMini->setChecked(false);
        menuStandard->setChecked(false);
    } else {
        menuMini->setChecked(false);
        menuSuperMini->setChecked(false);
    }
    game.setGrid(drawWidth);
}

void Form1::menuSuperMini_Click() { sizeCommand(menuSuperMini, 2); }
void Form1::menuMini_Click() { sizeCommand(menuMini, 5); }
void Form1::menuStandard_Click() { sizeCommand(menuStandard, 10); }

void Form1::menuClavierNoir_Click()
{
    menuClavierNoir->setChecked(true);
    menuJoy1Noir->setChecked(false);
}

void Form1::menuJoy1Noir_Click()
{
    menuJoy1Noir->setChecked(true);
    menuClavierNoir->setChecked(false);
}

void Form1::menuClavierRouge_Click()
{
    menuClavierRouge->setChecked(true);
    menuJoy2Rouge->setChecked(false);
}

void Form1::menuJoy2Rouge_Click()
{
    menuJoy2Rouge->setChecked(true);
    menuClavierRouge->setChecked(false);
}

void Form1::menuReglageJoy_Click()
{
    // The pad window is modeless: the game does not wait for it.
    if (onPadSettings)
        onPadSettings();
}

void Form1::menuApropos_Click()
{
    if (!onAbout)
        return;
    setEnabled(false);
    onAbout();
}

void Form1::menuaide_Click()
{
    showHelp();
}

void Form1::menueffacer_Click()
{
    const auto answer = services_.messages.show({QStringLiteral("Effacer le Top Score ?"), QString(),
                                                 platform::MessageBox::Buttons::OkCancel,
                                                 platform::MessageBox::Icon::Question, true});
    if (answer != platform::MessageBox::Answer::Ok)
        return;
    records_.nom = QStringLiteral("   ");
    records_.score = 0;
    records_.record = 0;
    game.restart();
}
