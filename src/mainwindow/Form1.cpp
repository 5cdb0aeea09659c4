// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Form1.h"

#include "input/Steering.h"
#include "mainwindow/PlayfieldView.h"
#include "look/WindowLook.h"
#include "records/GameSettings.h"
#include "records/SettingsFile.h"
#include "windows/FormInRecor.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QWindow>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

namespace {

using look::twips;
using units::twipsToPx;

// Positions inside the score panel, in twips, per mode: label 1, label 2, Start.
struct PanelLayout {
    bool label1Visible;
    int label1Left, label1Width;
    bool label2Visible;
    int label2Left, label2Width;
    int startLeft;
};

constexpr PanelLayout kNoirLayout{true, 520, 1725, false, 0, 0, 2540};
constexpr PanelLayout kRougeLayout{false, 0, 0, true, 2400, 1725, 560};
constexpr PanelLayout kDeuxLayout{true, 360, 975, true, 3360, 975, 1560};

constexpr int kPanelTop = 8;
constexpr int kControlTop = 240, kControlHeight = 615, kStartWidth = 1575;
constexpr int kMinClientWidth = 330, kMinClientHeight = 150;
constexpr int kGrowTwips = 30;

bool usableClient(QSize c)
{
    return c.width() > kMinClientWidth && c.height() > kMinClientHeight;
}

} // namespace

Form1::Form1(const Services& services, ModuleNom& records, QWidget* parent)
    : QMainWindow(parent),
      game(*this, services.clock, services.sound, services.joystick, records),
      services_(services),
      records_(records)
{
    setWindowTitle(QStringLiteral("Vorlin "));
    buildWidgets();
    buildMenus();
    connectHandlers();
    // The smallest client area the game allows, under the menu bar, told to the window
    // system: a compositor would otherwise offer smaller sizes the window then refuses.
    setMinimumSize(kMinClientWidth + 1, kMinClientHeight + 1 + menuBarHeight());
    resizeClient(kDesignClientWidth, kDesignClientHeight);
    lastNormal_ = QRect(QPoint(0, 0), size());
    ownPalette_ = palette();
    qApp->installEventFilter(this);
    // The desktop session ends: whatever is pending is stored, as when the window closes.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { storePending(); });
}

Form1::~Form1()
{
    delete recordWindow.data();
    qApp->removeEventFilter(this);
    game.PictureVorlin.onChanged = nullptr;
}

void Form1::buildWidgets()
{
    client = new QWidget(this);
    look::setColour(client, QPalette::Window, look::colour(look::kBackColor));
    setCentralWidget(client);

    // The grey-and-white edge under the menu bar.
    LineMenugris = new QFrame(client);
    LineMenublanc = new QFrame(client);
    LineMenugris->setFrameShape(QFrame::NoFrame);
    LineMenublanc->setFrameShape(QFrame::NoFrame);
    look::setColour(LineMenugris, QPalette::Window, QColor(128, 128, 128));
    look::setColour(LineMenublanc, QPalette::Window, Qt::white);
    LineMenugris->setGeometry(0, 0, kDesignClientWidth, 1);
    LineMenublanc->setGeometry(0, 1, kDesignClientWidth, 1);

    PictureVorlin = new PlayfieldView(game.PictureVorlin, client);
    PictureVorlin->move(15, 80);

    Frame1 = new QFrame(client);
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Frame1->setGeometry(0, kPanelTop, twipsToPx(4695), twipsToPx(975));

    CdeStart = new QPushButton(QStringLiteral("Start"), Frame1);
    connect(CdeStart, &QPushButton::clicked, this, [this] { game.CdeStart_Click(); });
    Labelscore1 = new QLabel(QStringLiteral("0"), Frame1);
    Labelscore1->setFont(look::designFont(24, true));
    Labelscore2 = new QLabel(QStringLiteral("0"), Frame1);
    Labelscore2->setFont(look::designFont(24));
    look::setColour(Labelscore2, QPalette::WindowText, look::colour(Game::kRouge));
    for (QLabel* l : {Labelscore1, Labelscore2})
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layOutPanel(Game::Mode::Deux);
}

void Form1::layOutPanel(Game::Mode mode)
{
    const PanelLayout& layout = mode == Game::Mode::Noir    ? kNoirLayout
                                : mode == Game::Mode::Rouge ? kRougeLayout
                                                            : kDeuxLayout;
    Labelscore1->setVisible(layout.label1Visible);
    Labelscore2->setVisible(layout.label2Visible);
    CdeStart->setGeometry(twips(layout.startLeft, kControlTop, kStartWidth, kControlHeight));
    if (layout.label1Visible)
        Labelscore1->setGeometry(twips(layout.label1Left, kControlTop, layout.label1Width, kControlHeight));
    if (layout.label2Visible)
        Labelscore2->setGeometry(twips(layout.label2Left, kControlTop, layout.label2Width, kControlHeight));
}

// ---- start-up and shutdown ------------------------------------------------------------

void Form1::Form_Load()
{
    const std::optional<Game::Mode> mode = loadSettings();
    game.prepare(services_.random);
    menuStandard_Click();
    // A stored number that names no mode runs no command: the menu stays as designed.
    if (mode == Game::Mode::Noir)
        menu1JoueurNoir_Click();
    else if (mode == Game::Mode::Rouge)
        menu1JoueurRouge_Click();
    else if (mode == Game::Mode::Deux)
        menu2joueur_Click();
    game.restart();
}

std::optional<Game::Mode> Form1::loadSettings()
{
    if (settingsPath.isEmpty())
        settingsPath = QDir::current().filePath(settings::kFileName);
    // A missing file, and one that cannot be used, give the defaults; the latter is left as
    // it is until the next save.
    const std::optional<settings::GameSettings> loaded = settings::loadGame(settingsPath);
    const settings::GameSettings s = loaded.value_or(settings::GameSettings{});
    records_.nom = s.nom;
    if (loaded)
        records_.record = s.record;
    loadedTop_ = {records_.nom, records_.record};
    if (!loaded)
        return s.mode;

    // The client size is restored: the outer sizes include the frame of the desktop that
    // wrote the file, which may be thicker than this one's. Sizes are kept within the
    // smallest window the game allows and the screen.
    const QSize size = settings::restoredClient(s, menuBarHeight());
    QSize room(4096, 4096);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        room = screen->availableGeometry().size() - QSize(0, menuBarHeight());
    const int w = std::clamp(size.width(), kMinClientWidth + 1, std::max(room.width(), kMinClientWidth + 1));
    const int h = std::clamp(size.height(), kMinClientHeight + 1, std::max(room.height(), kMinClientHeight + 1));
    resizeClient(w, h);
    return s.mode;
}

void Form1::sov()
{
    settings::GameSettings s;
    // The normal size, also when the window is minimized or maximized; what a window
    // manager reports on the way to or from the task bar may be no size at all, and then
    // the last usable normal size is kept.
    QRect normal = windowState() == Qt::WindowNoState ? geometry() : normalGeometry();
    if (!usableClient(QSize(normal.width(), normal.height() - menuBarHeight())))
        normal = lastNormal_;
    s.client = QSize(normal.width(), normal.height() - menuBarHeight());
    s.outer = normal.size() + (frameGeometry().size() - geometry().size());
    // One mode command is always checked.
    s.mode = menu1JoueurNoir->isChecked()    ? Game::Mode::Noir
             : menu1JoueurRouge->isChecked() ? Game::Mode::Rouge
                                             : Game::Mode::Deux;
    s.nom = records_.nom;
    s.record = records_.record;
    if (settingsPath.isEmpty())
        settingsPath = QDir::current().filePath(settings::kFileName);
    settings::saveGame(settingsPath, s, loadedTop_); // a failed save keeps the previous file and never holds up the exit
}

void Form1::storePending()
{
    // Initials still being typed count as entered: the new top score is kept.
    if (recordWindow)
        recordWindow->Command1_Click();
    sov();
}

void Form1::Form_Unload()
{
    if (quitting_)
        return;
    quitting_ = true;
    storePending();
    // Ending the program closes every window at once.
    QApplication::closeAllWindows();
    QApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A disabled window takes no input, its close box included: the record window or About
    // is open over it.
    if (!isEnabled() && !quitting_) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Form1::saveAndQuit()
{
    Form_Unload();
}

// ---- layout ----------------------------------------------------------------------------

int Form1::menuBarHeight() const
{
    return menuBar()->sizeHint().height();
}

void Form1::resizeClient(int w, int h)
{
    resize(w, h + menuBarHeight());
}

QSize Form1::clientSize() const
{
    return QSize(width(), height() - menuBarHeight());
}

bool Form1::minimized() const
{
    return isMinimized();
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (windowState() == Qt::WindowNoState && usableClient(clientSize()))
        lastNormal_ = geometry();
    Form_Resize();
}

void Form1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        keepLookWhenDisabled();
    // Once Qt is done with the activation: on Wayland, Qt 6.4 asks the compositor to activate
    // its focus window again at each change of the focus object, which comes after this
    // event; a request made here would come first and lose.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isEnabled())
        QMetaObject::invokeMethod(this, &Form1::activateOwnedWindow, Qt::QueuedConnection);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // Coming back from the task bar runs the whole handler, even at an unchanged size.
    if (wasMinimized_ && !isMinimized())
        Form_Resize();
    wasMinimized_ = isMinimized();
}

QWidget* Form1::ownedWindow() const
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && w->windowHandle() && w->windowHandle()->transientParent() == windowHandle())
            return w;
    return nullptr;
}

void Form1::activateOwnedWindow()
{
    // A click on the disabled window gives the focus back to the window that disabled it
    // (record entry or About), as the owner of a modal window does.
    if (QWidget* w = ownedWindow())
        w->activateWindow();
}

void Form1::keepLookWhenDisabled()
{
    // Disabled, the window only stops taking input: the score, the labels and the menus
    // are not greyed while the initials are typed.
    QPalette pal = ownPalette_;
    if (!isEnabled())
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto role = static_cast<QPalette::ColorRole>(r);
            pal.setBrush(QPalette::Disabled, role, pal.brush(QPalette::Active, role));
        }
    setPalette(pal);
}

void Form1::Form_Resize()
{
    if (isMinimized())
        return;
    // The original grew by 30 twips per nested run of this handler until the client area
    // was large enough. A window manager applies a resize later, not inside this call, so
    // the whole growth is asked for at once; the resize event it brings runs this again.
    QSize c = clientSize();
    if (c.width() <= kMinClientWidth || c.height() <= kMinClientHeight) {
        setEnabled(false);
        const int step = twipsToPx(kGrowTwips);
        int w = c.width(), h = c.height();
        while (w <= kMinClientWidth)
            w += step;
        while (h <= kMinClientHeight)
            h += step;
        resizeClient(w, h);
        c = clientSize();
        if (c.width() <= kMinClientWidth || c.height() <= kMinClientHeight)
            return;
    }
    setEnabled(true);
    LineMenugris->setGeometry(0, 0, std::max(c.width(), 1), 1);
    LineMenublanc->setGeometry(0, 1, std::max(c.width(), 1), 1);
    game.redrawAfterResize();
}

// ---- GameHost --------------------------------------------------------------------------

bool Form1::checked(MenuItem item) const
{
    switch (item) {
    case MenuItem::menu1JoueurRouge: return menu1JoueurRouge->isChecked();
    case MenuItem::menu1JoueurNoir: return menu1JoueurNoir->isChecked();
    case MenuItem::menu2joueur: return menu2joueur->isChecked();
    case MenuItem::menuJoy1Noir: return menuJoy1Noir->isChecked();
    case MenuItem::menuClavierNoir: return menuClavierNoir->isChecked();
    case MenuItem::menuJoy2Rouge: return menuJoy2Rouge->isChecked();
    case MenuItem::menuClavierRouge: return menuClavierRouge->isChecked();
    }
    return false;
}

void Form1::setLabelscore1(const QString& text) { Labelscore1->setText(text); }
void Form1::setLabelscore2(const QString& text) { Labelscore2->setText(text); }
void Form1::setStartCaption(const QString& text) { CdeStart->setText(text); }
void Form1::setStartEnabled(bool on) { CdeStart->setEnabled(on); }
void Form1::setCaption(const QString& text) { setWindowTitle(text); }
void Form1::setFormEnabled(bool on) { setEnabled(on); }

void Form1::setTopScoreItemsVisible(bool on)
{
    separReseau->setVisible(on);
    menueffacer->setVisible(on);
}

void Form1::setFrameLeft(int px)
{
    Frame1->move(px, kPanelTop);
}

void Form1::showRecordEntry()
{
    if (!recordWindow)
        recordWindow = new FormInRecor(records_, this, [this] { game.restart(); });
    look::bringForward(recordWindow, this);
}

void Form1::showWinner(const QString& text)
{
    services_.messages.show({text, QStringLiteral("Vorlin"), platform::MessageBox::Buttons::Ok,
                             platform::MessageBox::Icon::None, false});
}

void Form1::showChangesNow()
{
    // Painted and handed to the window system now, not at the next turn of the event loop,
    // which the cue holds up: the greyed "Start", the last step, the final tally.
    repaint();
    // On X11 the flush is sent at once; a Wayland client's requests wait in its buffer until
    // the event loop is about to sleep. QGuiApplication::sync would run the event loop, and
    // with it the other trail's timer, in the middle of a crash.
    if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance())
        Q_EMIT loop->aboutToBlock();
}

void Form1::enableJoystickItems(int joystickId)
{
    (joystickId == 0 ? menuJoy1Noir : menuJoy2Rouge)->setEnabled(true);
    menuReglageJoy->setEnabled(true);
}

void Form1::showHelp()
{
    if (onHelp)
        onHelp();
}

// ---- keys ------------------------------------------------------------------------------

bool Form1::forwardToOwnedWindow(QObject* watched, QEvent* event)
{
    // A compositor may refuse the record window the focus after a click on this window (GNOME
    // takes no activation with a button's release, the serial Qt 6.4 sends): the keys then
    // come here while this window is disabled. They are the owned window's, and a key is an
    // input the compositor accepts for moving the focus to it.
    if ((event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) || isEnabled() ||
        !watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this)
        return false;
    QWidget* owned = ownedWindow();
    if (!owned)
        return false;
    if (event->type() == QEvent::KeyPress)
        owned->activateWindow();
    const auto* key = static_cast<QKeyEvent*>(event);
    QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->nativeScanCode(), key->nativeVirtualKey(),
                   key->nativeModifiers(), key->text(), key->isAutoRepeat(), key->count());
    QCoreApplication::sendEvent(owned->focusWidget() ? owned->focusWidget() : owned, &copy);
    return true;
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    // Key preview: the window sees every key first, whichever of its widgets has the focus;
    // the key is not swallowed. A key passed on from a child to its parents is seen again,
    // which is harmless: storing the same code twice is storing it once. A key for an open
    // menu, the menu bar or a message box is theirs: one that the menu bar passes on comes
    // back to the window itself.
    if (forwardToOwnedWindow(watched, event))
        return true;
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this && isEnabled() && !qobject_cast<QMenuBar*>(watched) &&
        !QApplication::activePopupWidget() && !QApplication::activeModalWidget()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        game.Form_KeyDown(input::toVirtualKey(key->key(), key->modifiers(), key->nativeScanCode()));
    }
    return QMainWindow::eventFilter(watched, event);
}
