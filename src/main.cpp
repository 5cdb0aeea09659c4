// SPDX-License-Identifier: GPL-3.0-or-later
#include "anipic/AniGif.h"
#include "mainwindow/Form1.h"
#include "startup/FontSetUp.h"
#include "platform/MessageBox.h"
#include "startup/OnScreen.h"
#include "platform/Random.h"
#include "platform/SdlJoystick.h"
#include "startup/SignalNotifier.h"
#include "startup/SingleInstance.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "look/Caption.h"
#include "look/WindowLook.h"
#include "platform/WindowTimer.h"
#include "windows/FormInRecor.h"
#include "records/ModuleNom.h"
#include "windows/AuxWindows.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

namespace {

// --version and --help: the exit status once answered; -1 for a start (other arguments are
// ignored).
int answerCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0)
            return std::puts("Vorlin " VORLIN_VERSION) < 0;
        if (std::strcmp(argv[i], "--help") == 0)
            return std::puts("Usage: vorlin [--help | --version]\n"
                             "Two trails on one screen: touch nothing. See vorlin(6).") < 0;
    }
    return -1;
}

// What a second start asks of the running game. activationToken: the later copy's
// XDG_ACTIVATION_TOKEN, empty when it had none.
void comeToTheFront(Form1& form, const QByteArray& activationToken)
{
    // While initials are asked for, they are what the player came back for. A Wayland token
    // works once: it goes to the window that ends with the focus.
    if (form.recordWindow) {
        look::bringToFront(form, {});
        look::bringToFront(*form.recordWindow, activationToken);
    } else {
        look::bringToFront(form, activationToken);
    }
}

// The real services, the windows and the event loop, until the main window closes.
int playUntilClosed(startup::SingleInstance& instance)
{
    platform::QtTimerClock clock;
    platform::SdlSoundPlayer sound;
    platform::QtMessageBox messages;
    messages.frame = [](QWidget& box) { look::frameMessageBox(&box); };
    platform::SdlJoystick joystick;
    platform::QtShell shell;
    platform::SystemRandom random;
    ModuleNom records;
    AniGif aniGif(clock);

    Form1 form({clock, sound, messages, joystick, random}, records);
    AuxWindows windows(&form, aniGif, shell, joystick, clock);
    form.onHelp = [&] { windows.showHelp(); };
    form.onAbout = [&] { windows.showAbout(); };
    form.onPadSettings = [&] { windows.showPadSettings(); };

    // A signal to end ends the game as closing its window does: the record being entered
    // is kept and the settings are saved, from the event loop.
    startup::SignalNotifier signalled(startup::kEndingSignals, [&form](int) { form.Form_Unload(); });

    form.Form_Load();
    form.show();
    // A later copy's request brings this one to the front while its window is open. A copy
    // told to end, or whose window is closing, refuses it: the later copy then waits for the
    // lock and runs itself, rather than leave no game.
    instance.acceptShowRequests([&form, &signalled](const QByteArray& token) {
        signalled.drain();
        if (!form.isVisible())
            return false;
        comeToTheFront(form, token);
        return true;
    });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&instance] { instance.stopAcceptingShowRequests(); });
    // What the first window does not need waits until it is on the screen: the icon's picture
    // decoder and Qt's French texts (for message boxes only).
    startup::whenOnScreen(form, [&form] {
        form.setWindowIcon(QIcon(QStringLiteral(":/vorlin.ico")));
        look::loadFrenchQtTexts();
    });
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before anything else, so they work beside a running game and touch no file.
    if (const int status = answerCommandLine(argc, argv); status >= 0)
        return status;
    // Links the window to its desktop entry (Wayland app id, startup notification).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Vorlin"));

    // From the first line to the last: a closed standard error or a file-size limit makes a
    // write fail, not the game end unsaved.
    startup::ignoreSignals(startup::kIgnoredSignals);

    // A second copy ends at once, before it shows or writes anything, once the running one
    // has taken its request to come to the front, with the token its launcher gave it. One
    // that cannot judge the lock has said why.
    startup::SingleInstance instance(QString(), startup::SingleInstance::launcherToken());
    if (!instance.held())
        return instance.otherCopyRunning() ? 0 : 1;

    startup::FontSetUp fonts;
    // The menu bar belongs in the window: the layout and the saved height count it. Asking
    // the desktop for a global menu would also cost a D-Bus round trip before the window shows.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorlin"));
    QApplication::setStyle(look::newApplicationStyle());
    fonts.wait();
    return playUntilClosed(instance);
}
