// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/Game.h"
#include "game/GameHost.h"
#include "mainwindow/Services.h"
#include "records/GameSettings.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <optional>

class FormInRecor;

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class PlayfieldView;

// The main window: playfield, score panel, menus. It owns the game and wires it to widgets.
class Form1 final : public QMainWindow, public GameHost {
    Q_OBJECT
public:
    static constexpr int kDesignClientWidth = 496;
    static constexpr int kDesignClientHeight = 340;

    Form1(const Services& services, ModuleNom& records, QWidget* parent = nullptr);
    ~Form1() override;

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    // Writes the settings file: window size, mode, top score and initials.
    void sov();

    // Mode, speed, size and control commands.
    void menu1JoueurNoir_Click();
    void menu1JoueurRouge_Click();
    void menu2joueur_Click();
    void menuvitesseDebutant_Click();
    void menuVitesseMoyen_Click();
    void menuVitesseGrandmaitre_Click();
    void menuSuperMini_Click();
    void menuMini_Click();
    void menuStandard_Click();
    void menuClavierNoir_Click();
    void menuJoy1Noir_Click();
    void menuClavierRouge_Click();
    void menuJoy2Rouge_Click();
    void menuReglageJoy_Click();
    void menuApropos_Click();
    void menuaide_Click();
    void menueffacer_Click();

    // Resizes the window so that its client area (below the menu bar) is w x h pixels.
    void resizeClient(int w, int h);

    // GameHost
    bool checked(MenuItem item) const override;
    void setLabelscore1(const QString& text) override;
    void setLabelscore2(const QString& text) override;
    void setStartCaption(const QString& text) override;
    void setStartEnabled(bool on) override;
    void setCaption(const QString& text) override;
    void setFormEnabled(bool on) override;
    void setTopScoreItemsVisible(bool on) override;
    void setFrameLeft(int px) override;
    QSize clientSize() const override;
    bool minimized() const override;
    void showRecordEntry() override;
    void showWinner(const QString& text) override;
    void enableJoystickItems(int joystickId) override;
    void showHelp() override;
    void saveAndQuit() override;
    void showChangesNow() override;

    Game game;

    QWidget* client = nullptr;
    PlayfieldView* PictureVorlin = nullptr;
    QFrame* Frame1 = nullptr;
    QPushButton* CdeStart = nullptr;
    QLabel* Labelscore1 = nullptr;
    QLabel* Labelscore2 = nullptr;
    QFrame* LineMenugris = nullptr;
    QFrame* LineMenublanc = nullptr;

    QMenu* menuJeux = nullptr;
    QAction* menu1JoueurRouge = nullptr;
    QAction* menu1JoueurNoir = nullptr;
    QAction* menuseparjoueur1_2 = nullptr;
    QAction* menu2joueur = nullptr;
    QAction* menuSeparJeuReseau = nullptr;
    QAction* menuJeuReseau = nullptr;
    QAction* separReseau = nullptr;
    QAction* menueffacer = nullptr;
    QMenu* MenuOption = nullptr;
    QMenu* menuVitesse = nullptr;
    QAction* menuvitesseDebutant = nullptr;
    QAction* menuVitesseMoyen = nullptr;
    QAction* menuVitesseGrandmaitre = nullptr;
    QAction* menuseparcontrole1 = nullptr;
    QMenu* menuTaille = nullptr;
    QAction* menuSuperMini = nullptr;
    QAction* menuMini = nullptr;
    QAction* menuStandard = nullptr;
    QAction* menuseparcontrole2 = nullptr;
    QMenu* menuControlJoueurNoir = nullptr;
    QAction* menuJoy1Noir = nullptr;
    QAction* menuClavierNoir = nullptr;
    QMenu* menuControlJoueurRouge = nullptr;
    QAction* menuJoy2Rouge = nullptr;
    QAction* menuClavierRouge = nullptr;
    QAction* menuReglageJoy = nullptr;
    QMenu* menuIntero = nullptr;
    QAction* menuApropos = nullptr;
    QAction* menuaide = nullptr;

    // Hooks for the windows built elsewhere; the menu items and the idle poll call them.
    std::function<void()> onHelp;
    std::function<void()> onAbout;
    std::function<void()> onPadSettings;

    QPointer<FormInRecor> recordWindow;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    void buildMenus();
    void connectHandlers();
    // Shows the score labels and places Start as the mode has them.
    void layOutPanel(Game::Mode mode);
    void modeCommand(QAction* item);
    void speedCommand(QAction* item, int interval);
    void sizeCommand(QAction* item, int drawWidth);
    int menuBarHeight() const;
    // Restores the initials, the top score and the size; the stored mode, which start-up runs.
    std::optional<Game::Mode> loadSettings();
    // Completes a record entry still open and writes the settings file.
    void storePending();
    void keepLookWhenDisabled();
    void activateOwnedWindow();
    // The visible window this one owns (record entry or About), if any.
    QWidget* ownedWindow() const;
    bool forwardToOwnedWindow(QObject* watched, QEvent* event);

    Services services_;
    ModuleNom& records_;
    bool wasMinimized_ = false;
    bool quitting_ = false;
    QPalette ownPalette_;
    QRect lastNormal_;
    // The top score as loaded: the save keeps one another copy wrote since, unless beaten.
    settings::TopScore loadedTop_;

public:
    // Where the settings file is read and written; the current directory's at start-up.
    QString settingsPath;
};
