// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/GameSettings.h"

#include "base/Units.h"
#include "records/Cp1252.h"
#include "records/SettingsFile.h"
#include "records/SettingsRecord.h"

namespace settings {

namespace {

std::optional<GameMode> modeOf(std::uint8_t stored)
{
    switch (stored) {
    case static_cast<int>(GameMode::Noir): return GameMode::Noir;
    case static_cast<int>(GameMode::Rouge): return GameMode::Rouge;
    case static_cast<int>(GameMode::Deux): return GameMode::Deux;
    default: return std::nullopt;
    }
}

} // namespace

std::optional<GameSettings> loadGame(const QString& path)
{
    Record r;
    if (load(path, r) != LoadResult::Loaded)
        return std::nullopt;
    GameSettings s;
    s.mode = modeOf(r.IniMode);
    const auto codes = initialsOf(r);
    s.nom = cp1252::toString(codes.data(), 3);
    s.record = r.record;
    s.client = QSize(r.IniScaleWidth, r.IniScaleHeight);
    s.outer = QSize(units::twipsToPx(r.IniWidth), units::twipsToPx(r.IniHeight));
    return s;
}

bool saveGame(const QString& path, const GameSettings& s)
{
    Record r;
    r.IniScaleHeight = clamp16(s.client.height());
    r.IniHeight = clamp16(units::pxToTwips(s.outer.height()));
    r.IniScaleWidth = clamp16(s.client.width());
    r.IniWidth = clamp16(units::pxToTwips(s.outer.width()));
    r.IniMode = static_cast<std::uint8_t>(s.mode.value_or(GameMode::Deux));
    const QString nom = (s.nom + QStringLiteral("   ")).left(3);
    setInitials(r, {cp1252::fromChar(nom[0]), cp1252::fromChar(nom[1]), cp1252::fromChar(nom[2])});
    r.record = s.record;
    return save(path, r);
}

QSize restoredClient(const GameSettings& s, int menuBarHeight)
{
    if (s.client.width() > 0 && s.client.height() > 0)
        return s.client;
    return QSize(s.outer.width(), s.outer.height() - menuBarHeight);
}

} // namespace settings
