// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PaintLog.h"

#include <QByteArray>

#include <cstdio>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

namespace platform {

namespace {

int paintLogFile()
{
    static const int fd = [] {
        const QByteArray path = qgetenv("VORLIN_PAINT_LOG");
        return path.isEmpty() ? -1 : ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    }();
    return fd;
}

} // namespace

void logPaint(const QRect& r)
{
    const int fd = paintLogFile();
    if (fd < 0)
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char line[96];
    const int n = std::snprintf(line, sizeof line, "%lld %d %d %d %d\n",
                                static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                                r.x(), r.y(), r.width(), r.height());
    if (n > 0 && ::write(fd, line, static_cast<std::size_t>(n)) < 0)
        return; // a lost line only thins the figure
}

} // namespace platform
