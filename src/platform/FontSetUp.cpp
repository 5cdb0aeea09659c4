#include "platform/FontSetUp.h"

#include <fontconfig/fontconfig.h>

namespace platform {

FontSetUp::FontSetUp() : thread_([] { FcInit(); }) {}

void FontSetUp::wait()
{
    if (thread_.joinable())
        thread_.join();
}

} // namespace platform
