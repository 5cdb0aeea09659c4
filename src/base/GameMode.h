// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The three modes of play, numbered as the settings file stores them. This is the game's own
// type (Game::Mode); it sits on the lowest floor so that the settings, below the game, name it.
enum class GameMode { Noir = 1, Rouge = 2, Deux = 3 };
