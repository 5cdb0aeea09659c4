#pragma once

#include <QPointer>

class AniGif;
class FormAbout;
class FormAide;
class FormVersionHistory;
class QWidget;
namespace platform { class Shell; }

// Creates the secondary windows on first use, one of each at a time.
class AuxWindows {
public:
    AuxWindows(QWidget* mainWindow, AniGif& aniGif, platform::Shell& shell);
    ~AuxWindows();

    void showHelp();
    // The caller has already disabled the main window.
    void showAbout();
    void showVersionHistory();

    QPointer<FormAide> help;
    QPointer<FormAbout> about;
    QPointer<FormVersionHistory> history;

private:
    QWidget* main_;
    AniGif& aniGif_;
    platform::Shell& shell_;
};
