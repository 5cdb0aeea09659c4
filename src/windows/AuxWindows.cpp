#include "windows/AuxWindows.h"

#include "platform/WindowLook.h"
#include "windows/FormAbout.h"
#include "windows/FormAide.h"
#include "windows/FormVersionHistory.h"

AuxWindows::AuxWindows(QWidget* mainWindow, AniGif& aniGif, platform::Shell& shell)
    : main_(mainWindow), aniGif_(aniGif), shell_(shell)
{
}

AuxWindows::~AuxWindows()
{
    delete about.data();
    delete help.data();
    delete history.data();
}

void AuxWindows::showHelp()
{
    if (!help)
        help = new FormAide(aniGif_);
    look::bringForward(help, main_);
}

void AuxWindows::showAbout()
{
    if (!about) {
        about = new FormAbout(aniGif_, shell_, main_);
        about->onVersionHistory = [this] { showVersionHistory(); };
    }
    look::bringForward(about, main_);
}

void AuxWindows::showVersionHistory()
{
    if (!history) {
        history = new FormVersionHistory;
        if (main_)
            history->setWindowIcon(main_->windowIcon());
    }
    look::bringForward(history, about ? static_cast<QWidget*>(about) : main_);
}
