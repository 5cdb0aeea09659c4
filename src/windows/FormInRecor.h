// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
struct ModuleNom;

// Asks for the initials of a new top score. OK, or closing the window any other way, stores
// them with the score, enables the main window again and re-arms the game.
class FormInRecor final : public QWidget {
public:
    // mainWindow is enabled again at OK; rearm is the main window's restart.
    FormInRecor(ModuleNom& records, QWidget* mainWindow, std::function<void()> rearm);

    // The key-press rule: takes the Windows-1252 code of a typed character, may change it.
    void Text1_KeyPress(int& keyAscii);
    void Command1_Click();

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ModuleNom& records_;
    QWidget* mainWindow_;
    std::function<void()> rearm_;
    bool done_ = false;
};
