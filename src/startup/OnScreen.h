// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QWidget;

namespace startup {

// Runs work once, after the window was first exposed and painted. A window's map request
// leaves only when the event loop first waits, so work queued at once (a zero timer) would
// hold the window back; this waits for the window instead. Call after show().
void whenOnScreen(QWidget& window, std::function<void()> work);

} // namespace startup
