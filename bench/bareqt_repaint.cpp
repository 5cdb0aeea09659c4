// SPDX-License-Identifier: GPL-3.0-or-later
// The reference for the on-screen step figure: a bare Qt program that repaints a small
// square moving across a 470 x 250 field on a precise timer of the interval given, and logs
// each paint as the game does under VORLIN_PAINT_LOG.
#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

class Field final : public QWidget {
public:
    explicit Field(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(470, 250);
        const QByteArray path = qgetenv("VORLIN_PAINT_LOG");
        log_ = path.isEmpty() ? -1 : ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    }
    void step()
    {
        x_ = (x_ + 2) % 468;
        update(x_ - 1, 124, 4, 4);
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        const QRect r = e->rect();
        if (log_ >= 0) {
            timespec t{};
            clock_gettime(CLOCK_MONOTONIC, &t);
            char line[96];
            const int n = std::snprintf(line, sizeof line, "%lld %d %d %d %d\n",
                                        t.tv_sec * 1000000000LL + t.tv_nsec, r.x(), r.y(), r.width(), r.height());
            if (::write(log_, line, static_cast<std::size_t>(n)) < 0)
                return;
        }
        QPainter(this).fillRect(r, Qt::black);
    }

private:
    int log_ = -1;
    int x_ = 0;
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(490, 350);
    auto* field = new Field(&window);
    field->move(10, 80);
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, field, &Field::step);
    timer.start(argc > 1 ? std::atoi(argv[1]) : 10);
    window.show();
    return QApplication::exec();
}
