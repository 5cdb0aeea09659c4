// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

namespace startup {

// Fontconfig reads the whole font configuration (dozens of XML files) the first time a text
// is measured, which on a cold start is the largest part of the first window's set-up.
// Started before the application object, it runs on another core while Qt connects to the
// display; wait() before the first window is built, so the two never read it twice.
class FontSetUp {
public:
    FontSetUp();
    void wait();

private:
    std::jthread thread_;
};

} // namespace startup
