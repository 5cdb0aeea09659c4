#include "windows/CurseurAni.h"

#include "platform/Paths.h"
#include "windows/AniReader.h"

#include <QCursor>
#include <QFile>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace CurseurAni {

namespace {

// Lives as a child of its widget, so it goes with it.
class Animator final : public QObject {
public:
    Animator(QWidget* target, ani::Cursor cursor) : QObject(target), target_(target)
    {
        setObjectName(QStringLiteral("CurseurAni"));
        for (const ani::Frame& f : cursor.frames)
            cursors_.emplace_back(QPixmap::fromImage(f.image), f.hotSpot.x(), f.hotSpot.y());
        steps_ = std::move(cursor.steps);
        stepMs_ = std::move(cursor.stepMs);
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, [this] { show((step_ + 1) % steps_.size()); });
        show(0);
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
    QTimer timer_;
};

} // namespace

int LoadAniCursor(QWidget* target, const QString& path)
{
    if (!target)
        return 0;
    delete target->findChild<Animator*>(QStringLiteral("CurseurAni"), Qt::FindDirectChildrenOnly);
    target->setCursor(Qt::UpArrowCursor);

    QFile file(platform::currentDirPath(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > (1 << 22))
        return 0;
    const QByteArray bytes = file.readAll();
    auto cursor = ani::readCursor({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size())});
    if (!cursor)
        return 0;
    new Animator(target, std::move(*cursor));
    return 1;
}

} // namespace CurseurAni
