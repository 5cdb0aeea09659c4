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

GameSettings fromRecord(const Record& r)
{
    GameSettings s;
    s.mode = modeOf(r.IniMode);
    const auto codes = initialsOf(r);
    s.nom = cp1252::toString(codes.data(), 3);
    s.record = r.record;
    s.client = QSize(r.IniScaleWidth, r.IniScaleHeight);
    s.outer = QSize(units::twipsToPx(r.IniWidth), units::twipsToPx(r.IniHeight));
    return s;
}

// The top score the save writes: this run's, unless another was written to the file since
// this run read it and this run neither changed its own nor beat that one.
TopScore topToSave(const QString& path, const TopScore& ours, const TopScore& loaded)
{
    Record r;
    if (read(path, r) != LoadResult::Loaded)
        return ours;
    const GameSettings now = fromRecord(r);
    const TopScore onDisk{now.nom, now.record};
    if (onDisk != loaded && (ours == loaded || onDisk.record >= ours.record))
        return onDisk;
    return ours;
}

} // namespace

std::optional<GameSettings> loadGame(const QString& path)
{
    Record r;
    if (load(path, r) != LoadResult::Loaded)
        return std::nullopt;
    return fromRecord(r);
}

bool saveGame(const QString& path, const GameSettings& s, const std::optional<TopScore>& loaded)
{
    TopScore top{s.nom, s.record};
    if (loaded)
        top = topToSave(path, top, *loaded);
    Record r;
    r.IniScaleHeight = clamp16(s.client.height());
    r.IniHeight = clamp16(units::pxToTwips(s.outer.height()));
    r.IniScaleWidth = clamp16(s.client.width());
    r.IniWidth = clamp16(units::pxToTwips(s.outer.width()));
    r.IniMode = static_cast<std::uint8_t>(s.mode.value_or(GameMode::Deux));
    const QString nom = (top.nom + QStringLiteral("   ")).left(3);
    setInitials(r, {cp1252::fromChar(nom[0]), cp1252::fromChar(nom[1]), cp1252::fromChar(nom[2])});
    r.record = top.record;
    return save(path, r);
}

QSize restoredClient(const GameSettings& s, int menuBarHeight)
{
    if (s.client.width() > 0 && s.client.height() > 0)
        return s.client;
    return QSize(s.outer.width(), s.outer.height() - menuBarHeight);
}

} // namespace settings
