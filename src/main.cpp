#include "anipic/AniGif.h"
#include "mainwindow/Form1.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/SdlJoystick.h"
#include "platform/SingleInstance.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "platform/WindowTimer.h"
#include "records/ModuleNom.h"
#include "windows/AuxWindows.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Answered before anything else, so they work beside a running game and touch no file.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0)
            return std::puts("Vorlin " VORLIN_VERSION) < 0;
        if (std::strcmp(argv[i], "--help") == 0)
            return std::puts("Usage: vorlin [--help | --version]\n"
                             "Two trails on one screen: touch nothing. See vorlin(6).") < 0;
    }
    // Links the window to its desktop entry (Wayland app id, startup notification).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Vorlin"));

    // A second copy ends at once, before it shows or writes anything.
    platform::SingleInstance instance;
    if (!instance.acquired())
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorlin"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));

    platform::QtTimerClock clock;
    platform::SdlSoundPlayer sound;
    platform::QtMessageBox messages;
    platform::SdlJoystick joystick;
    platform::QtProcessLauncher processes;
    platform::QtShell shell;
    ModuleNom records;
    AniGif aniGif(clock);

    Form1 form({clock, sound, messages, joystick, processes}, records);
    form.setWindowIcon(QIcon(QStringLiteral("Vorlin107_rsc/vorlin.ico")));
    AuxWindows windows(&form, aniGif, shell);
    form.onHelp = [&] { windows.showHelp(); };
    form.onAbout = [&] { windows.showAbout(); };

    form.Form_Load();
    form.show();
    return QApplication::exec();
}
