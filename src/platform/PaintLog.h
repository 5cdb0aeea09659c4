// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

namespace platform {

// Benchmarks time the repaints the screen shows from the paints themselves: with
// VORLIN_PAINT_LOG naming a file, each paint appends its monotonic time in nanoseconds and
// its rectangle. Off, it costs one test of a number.
void logPaint(const QRect& r);

} // namespace platform
