#include "sound/ModuleSon.h"

#include "platform/Paths.h"

namespace ModuleSon {

void play(platform::SoundPlayer& player, const QString& cue)
{
    player.playSync(platform::currentDirPath(cue).toStdString());
}

} // namespace ModuleSon
