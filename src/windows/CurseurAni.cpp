// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/CurseurAni.h"

#include "platform/BoundedFile.h"
#include "base/Paths.h"
#include "anipic/AniReader.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace CurseurAni {

namespace {

// Lives as a child of its widget, so it goes with it.
class Animator final : public QObject {
public:
    Animator(QWidget* target, ani::Cursor cursor) : QObject(target), target_(target)
    {
        setObjectName(QStringLiteral("CurseurAni"));
        // At the window's device pixel ratio: X11 shows a cursor's picture pixel for pixel,
        // so a 32-pixel frame at a scale of 2 would be half the size of the arrow beside it.
        // Each pixel becomes a square block, as sharp as the original.
        const qreal dpr = target->devicePixelRatioF();
        // A cursor's hot spot is in the window's pixels, but Qt's X11 plugin hands it to the
        // server as it is, in the picture's: it is scaled here for X11 alone.
        const qreal hotScale = QGuiApplication::platformName() == QLatin1String("xcb") ? dpr : 1.0;
        for (const ani::Frame& f : cursor.frames) {
            QPixmap picture = QPixmap::fromImage(
                dpr == 1.0 ? f.image : f.image.scaled((QSizeF(f.image.size()) * dpr).toSize(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
            picture.setDevicePixelRatio(dpr);
            cursors_.emplace_back(picture, qRound(f.hotSpot.x() * hotScale), qRound(f.hotSpot.y() * hotScale));
        }
        steps_ = std::move(cursor.steps);
        stepMs_ = std::move(cursor.stepMs);
        timer_.setObjectName(QStringLiteral("CurseurAniTick"));
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, [this] { show((step_ + 1) % steps_.size()); });
        // Each frame is a cursor set on the window, and Qt 6.4 on Wayland shows it wherever the
        // pointer is: the animation runs only while the pointer is over the target, which keeps
        // the up arrow until then.
        if (target->underMouse())
            show(0);
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Enter)
            show(step_);
        else if (e->type() == QEvent::Leave)
            timer_.stop();
        return false;
    }

private:
    void show(std::size_t step)
    {
        step_ = step;
        target_->setCursor(cursors_[static_cast<std::size_t>(steps_[step])]);
        if (steps_.size() > 1 && stepMs_[step] > 0)
            timer_.start(stepMs_[step]);
    }

    QWidget* target_;
    std::vector<QCursor> cursors_;
    std::vector<int> steps_;
    std::vector<int> stepMs_;
    std::size_t step_ = 0;
    QTimer timer_{this};
};

} // namespace

int LoadAniCursor(QWidget* target, const QString& path)
{
    if (!target)
        return 0;
    delete target->findChild<Animator*>(QStringLiteral("CurseurAni"), Qt::FindDirectChildrenOnly);
    target->setCursor(Qt::UpArrowCursor);

    // Only a regular file is read, and only up to the cap: a FIFO of that name would hang
    // the game, a link to a device would be read until memory ran out.
    const std::optional<QByteArray> bytes = platform::readRegularFile(paths::currentDirPath(path), ani::kMaxCursorFileBytes);
    if (!bytes)
        return 0;
    auto cursor = ani::readCursor({reinterpret_cast<const std::uint8_t*>(bytes->constData()),
                                   static_cast<std::size_t>(bytes->size())});
    if (!cursor)
        return 0;
    new Animator(target, std::move(*cursor));
    return 1;
}

void UnloadAniCursor(QWidget* target)
{
    if (!target)
        return;
    delete target->findChild<Animator*>(QStringLiteral("CurseurAni"), Qt::FindDirectChildrenOnly);
    target->setCursor(Qt::UpArrowCursor);
#if defined(__GLIBC__)
    // Freed pictures would otherwise stay in the heap after the window is gone.
    malloc_trim(0);
#endif
}

} // namespace CurseurAni
