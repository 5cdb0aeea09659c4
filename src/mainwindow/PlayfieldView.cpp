#include "mainwindow/PlayfieldView.h"

#include "game/Playfield.h"

#include <QPaintEvent>
#include <QPainter>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace {

// Benchmarks time the repaints the screen shows from the paints themselves: with
// VORLIN_PAINT_LOG naming a file, each paint appends its monotonic time in nanoseconds and
// its rectangle. Off, it costs one test of a number.
int paintLog()
{
    static const int fd = [] {
        const QByteArray path = qgetenv("VORLIN_PAINT_LOG");
        return path.isEmpty() ? -1 : ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    }();
    return fd;
}

void logPaint(int fd, const QRect& r)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char line[96];
    const int n = std::snprintf(line, sizeof line, "%lld %d %d %d %d\n",
                                static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                                r.x(), r.y(), r.width(), r.height());
    if (n > 0 && ::write(fd, line, static_cast<std::size_t>(n)) < 0)
        return; // a lost line only thins the figure
}

} // namespace

PlayfieldView::PlayfieldView(Playfield& field, QWidget* parent) : QWidget(parent), field_(field)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    setFocusPolicy(Qt::NoFocus);
    field_.onChanged = [this](const QRect& r) {
        if (size() != field_.image().size())
            resize(field_.image().size());
        update(r);
    };
    resize(field_.image().size());
}

void PlayfieldView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect r = event->rect();
    if (const int fd = paintLog(); fd >= 0)
        logPaint(fd, r);
    p.drawImage(r.topLeft(), field_.image(), r);
}
