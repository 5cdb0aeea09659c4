// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/FontSetUp.h"

#include <fontconfig/fontconfig.h>

namespace startup {

FontSetUp::FontSetUp() : thread_([] { FcInit(); }) {}

void FontSetUp::wait()
{
    if (thread_.joinable())
        thread_.join();
}

} // namespace startup
