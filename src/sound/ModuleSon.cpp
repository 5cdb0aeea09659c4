// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/ModuleSon.h"

#include "base/Paths.h"

namespace ModuleSon {

void play(platform::SoundPlayer& player, const QString& cue)
{
    player.playSync(paths::currentDirPath(cue).toStdString());
}

} // namespace ModuleSon
