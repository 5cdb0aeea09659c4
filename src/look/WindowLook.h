// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/Units.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <Qt>

class QStyle;
class QWidget;

// The look every window of the game shares: its font, colours, geometry in twips and the
// way a secondary window is brought forward. Written once here; the fixed windows' frame is
// in look/Caption.h.
namespace look {

// The background of the main window and of the record window (0x00BBGGRR).
constexpr units::Colour kBackColor = 0xC0C0FF;

QColor colour(units::Colour c);

// The design's "MS Sans Serif" at the given size.
QFont designFont(double points = 8, bool bold = false, bool underline = false);

// A rectangle given in twips, in pixels.
QRect twips(int left, int top, int width, int height);

// Sets one colour role of a widget's palette; a Window colour also fills its background.
void setColour(QWidget* w, QPalette::ColorRole role, const QColor& c);

// Shows the window, puts it above the others and gives it the focus. An owned window is
// kept above its owner by the window manager, so no click on the owner hides it; the owner
// is not its Qt parent, which would disable it along with a disabled owner.
void bringForward(QWidget* w, QWidget* owner = nullptr);

// Brings a running game's window back in front for a second start: shown (restored if
// minimised), raised and activated. On Wayland the focus is only given with an activation
// token: `activationToken` is the one the launcher gave the second copy (empty when none),
// used through Qt's xdg-activation support where the compositor offers it. Never blocks;
// where neither Qt nor the compositor can activate, the window is shown and raised only.
void bringToFront(QWidget& window, const QByteArray& activationToken);

// The style of the menus: a ticked item of a check-mark group shows a tick, an unticked one
// shows nothing (not an empty box).
QStyle* menuStyle();

// A new application style: the one the desktop or the command line chose, with the menu
// bar's overflow arrow drawn rather than read from an image file. For QApplication::setStyle.
QStyle* newApplicationStyle();

// Qt's own texts (standard buttons such as "Annuler") in French, whatever the user's locale:
// the game speaks French only.
void loadFrenchQtTexts();

} // namespace look
