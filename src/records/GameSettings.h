// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/GameMode.h"

#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

// The settings file in the game's terms: its mode, initials as text, sizes in pixels. How the
// 22-byte record stores them (mode numbers, Windows-1252 codes with offsets, twips, 16 bits)
// is known here and in the codec only.
namespace settings {

struct GameSettings {
    // Nothing for a stored number that names no mode: start-up then runs no mode command.
    std::optional<GameMode> mode = GameMode::Deux;
    QString nom = QStringLiteral("   "); // initials of the top score; blanks for none
    std::uint8_t record = 0;            // the top score, percent
    QSize client;                       // the playfield under the menu bar, pixels
    QSize outer;                        // the window with its frame and menu bar, pixels
};

// A top score with its holder's initials.
struct TopScore {
    QString nom = QStringLiteral("   ");
    std::uint8_t record = 0;
    bool operator==(const TopScore&) const = default;
};

// The file's settings, or nothing when it is missing or cannot be used (see settings::load).
std::optional<GameSettings> loadGame(const QString& path);
// Writes the file (see settings::save). Sizes are clamped to 16 bits, the outer one in twips;
// the first three characters of nom are kept, padded with blanks, and one outside
// Windows-1252 is written as "?"; no mode is written as two players.
// loaded: the top score this run read at start-up (the defaults without a usable file). A top
// score written to the file since (by another copy, or by hand) stays, with its initials,
// unless this run set a better one; clearing it clears only the one this run knew. Without
// loaded, the file's top score is replaced whatever it is.
bool saveGame(const QString& path, const GameSettings& s, const std::optional<TopScore>& loaded = std::nullopt);

// The client size to restore: the stored one, or for a file that holds none, the outer size
// less the menu bar.
QSize restoredClient(const GameSettings& s, int menuBarHeight);

} // namespace settings
