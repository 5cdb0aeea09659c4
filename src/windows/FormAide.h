// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class AniGif;
class ImageArray;
class QLabel;
class QMovie;
class QPlainTextEdit;

// How to play, under an animated picture. Its animation restarts at every activation.
class FormAide final : public QWidget {
public:
    explicit FormAide(AniGif& aniGif);
    ~FormAide() override;

    void Form_Activate();
    void Form_Unload();

    QLabel* Picture1 = nullptr;
    QPlainTextEdit* TextAide = nullptr;
    ImageArray* AnimatedGIF1 = nullptr;
    // What element 0 shows until a load replaces it.
    QMovie* designPicture = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AniGif& aniGif_;
    bool unloaded_ = false;
};
