// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/OnScreen.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace startup {

namespace {

class ExposeWatcher final : public QObject {
public:
    ExposeWatcher(QWindow* window, std::function<void()> work) : QObject(window), work_(std::move(work))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            // Queued, so it runs once the expose has been painted.
            QTimer::singleShot(0, this, [this] {
                work_();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> work_;
};

} // namespace

void whenOnScreen(QWidget& window, std::function<void()> work)
{
    QWindow* handle = window.windowHandle();
    if (handle && handle->isExposed()) {
        QTimer::singleShot(0, &window, std::move(work));
        return;
    }
    if (!handle) {
        window.winId();
        handle = window.windowHandle();
    }
    new ExposeWatcher(handle, std::move(work));
}

} // namespace startup
