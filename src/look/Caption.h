// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// The frame of the fixed windows: where the window system would frame them with boxes the
// design lacks, the game draws the caption itself.
namespace look {

// A fixed-size secondary window with a title and a close box, and no other box: it can
// neither be minimised nor maximised, and a maximised or full-screen state asked for by
// anyone (the window manager, the compositor, a program) is undone at once. A tool window
// has the small caption of a palette. Deleted when closed. The size is that of the client
// area; where the game draws the caption itself (see drawsOwnCaptions) the window is taller
// by the caption and its edge, and its children move under the caption when it is first shown.
enum class Frame { Dialog, Tool };
void frameWindow(QWidget* w, Frame frame, const QString& caption, int widthTwips, int heightTwips);

// True where a fixed window's caption is drawn by the game: on X11 (openbox keeps a
// minimise box whatever the flags say, and cuts narrow captions for it) and on Wayland (Qt's
// own frame draws minimise and maximise boxes on every window, and a click on maximise
// of a fixed window ends the connection). Elsewhere the system's frame is kept.
bool drawsOwnCaptions();

// The height in pixels of the caption the game draws for a frame.
int captionHeight(Frame frame);

// A message box framed as the fixed windows are: a title and a close box, no other box.
void frameMessageBox(QWidget* box);

// Adds the game's caption to a window framed above, now and whatever the platform, as its
// first show does where the game draws captions: the caption, with its window menu (a right
// click on it, Alt+Space), and a 1-pixel edge go around the client area, which keeps its size
// to the pixel. Done once.
void addCaption(QWidget* w);

} // namespace look
