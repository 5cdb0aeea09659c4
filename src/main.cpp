#include "mainwindow/Form1.h"
#include "platform/SdlJoystick.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Sound.h"
#include "platform/WindowTimer.h"
#include "records/ModuleNom.h"

#include <QApplication>
#include <QFont>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorlin"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));

    platform::QtTimerClock clock;
    platform::SdlSoundPlayer sound;
    platform::QtMessageBox messages;
    platform::SdlJoystick joystick;
    platform::QtProcessLauncher processes;
    ModuleNom records;

    Form1 form({clock, sound, messages, joystick, processes}, records);
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
