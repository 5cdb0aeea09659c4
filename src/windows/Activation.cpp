// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/Activation.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace {

// One filter for the whole program: it alone remembers which window of ours was active last,
// so that every watcher compares against the same "previous".
class Tracker final : public QObject {
public:
    static Tracker& instance()
    {
        static Tracker* t = [] {
            auto* tracker = new Tracker;
            qApp->installEventFilter(tracker);
            return tracker;
        }();
        return *t;
    }

    std::vector<ActivationWatcher*> watchers;
    std::vector<QWidget*> windows;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (e->type() == QEvent::WindowActivate && obj->isWidgetType()) {
            auto* w = static_cast<QWidget*>(obj);
            if (w->isWindow() && w != current_) {
                current_ = w;
                for (std::size_t i = 0; i < windows.size(); ++i)
                    if (windows[i] == w)
                        watchers[i]->activated();
            }
        }
        return false;
    }

private:
    QPointer<QWidget> current_;
};

} // namespace

ActivationWatcher::ActivationWatcher(QWidget* window, std::function<void()> onActivate)
    : QObject(window), window_(window), onActivate_(std::move(onActivate))
{
    Tracker& t = Tracker::instance();
    t.watchers.push_back(this);
    t.windows.push_back(window);
}

ActivationWatcher::~ActivationWatcher()
{
    Tracker& t = Tracker::instance();
    const auto it = std::find(t.watchers.begin(), t.watchers.end(), this);
    if (it != t.watchers.end()) {
        t.windows.erase(t.windows.begin() + (it - t.watchers.begin()));
        t.watchers.erase(it);
    }
}

void ActivationWatcher::activated()
{
    if (onActivate_)
        onActivate_();
}
