// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Sound.h"

#include <QString>

// The five sound cues, named as the game names them.
namespace ModuleSon {

inline const QString kStart = QStringLiteral("Vorlin107_rsc\\Beam.wav");
inline const QString kCrashNoir = QStringLiteral("Vorlin107_rsc\\bark.wav");
inline const QString kCrashRouge = QStringLiteral("Vorlin107_rsc\\Dogbrk.wav");
inline const QString kWinNoir = QStringLiteral("Vorlin107_rsc\\Level.wav");
inline const QString kWinRouge = QStringLiteral("Vorlin107_rsc\\Chimes.wav");

// Plays a cue to its end; the path is built from the current directory at each call.
void play(platform::SoundPlayer& player, const QString& cue);

} // namespace ModuleSon
