// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// An animated cursor over one widget. The system's own cursors are never replaced: the
// animation is the widget's cursor, changed by a timer at the file's rate.
namespace CurseurAni {

// Gives `target` the up arrow, then the animated cursor read from `path` (a path as the game
// writes it, relative to the current directory). Non-zero when the file could be read.
// Reading again replaces the earlier animation.
int LoadAniCursor(QWidget* target, const QString& path);

// Ends the animation over `target` (which keeps the up arrow) and gives its pictures back
// to the system. For a window that closes.
void UnloadAniCursor(QWidget* target);

} // namespace CurseurAni
