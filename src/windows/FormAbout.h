// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class AniGif;
class ImageArray;
class QFrame;
class QLabel;
class QMovie;
namespace platform { class Shell; }

// Name, version, a word about the game, an animation, the links; opens the version history.
class FormAbout final : public QWidget {
public:
    static inline const QString kWebAddress = QStringLiteral("https://www.example.org/vorlin/");
    static inline const QString kMailAddress = QStringLiteral("jeu@example.org");

    // mainWindow is disabled while About is open and enabled again when it closes.
    FormAbout(AniGif& aniGif, platform::Shell& shell, QWidget* mainWindow);
    ~FormAbout() override;

    void Form_Activate();
    void Form_Unload();
    void Frame1_Click();
    void Label3_lienWeb_Click();
    void Labelmail_Click();

    // Opens (or shows) the version-history window; set by whoever owns the windows.
    std::function<void()> onVersionHistory;

    int FlagVH = 0;

    QFrame* Frame1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label3_lienWeb = nullptr;
    QWidget* Shape2 = nullptr;
    QWidget* Shape1 = nullptr;
    QLabel* Labelmail = nullptr;
    ImageArray* AnimatedGIF = nullptr;
    // What element 0 shows until a load replaces it.
    QMovie* designPicture = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* Label2 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Frame1 with the icon and the name: a click on any of them opens the version history.
    void buildTopArea();

    AniGif& aniGif_;
    platform::Shell& shell_;
    QPointer<QWidget> mainWindow_;
    bool unloaded_ = false;
};
