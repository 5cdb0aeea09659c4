// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the settings record decoder, which reads a file anyone may have written.
#include "SettingsCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto broken = checkSettingsRecord(data, size)) {
        std::fprintf(stderr, "settings record: %s\n", broken->c_str());
        std::abort();
    }
    return 0;
}
