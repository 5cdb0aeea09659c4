// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>

// The program-wide record variables, shared by the main window and the record-entry window.
struct ModuleNom {
    QString nom;               // initials of the top-score holder; "   " means none
    std::uint8_t score = 0;    // percentage of the current or last one-player game
    std::uint8_t record = 0;   // the top score, percent
};
