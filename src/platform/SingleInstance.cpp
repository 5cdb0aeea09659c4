#include "platform/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <unistd.h>

namespace platform {

SingleInstance::SingleInstance(const QString& lockPath)
{
    const QString path = lockPath.isEmpty()
        ? QDir(QDir::tempPath()).filePath(QStringLiteral("vorlin-%1.lock").arg(getuid()))
        : lockPath;
    lock_ = std::make_unique<QLockFile>(path);
    // Staleness is decided by whether the owner still runs, not by the lock's age.
    lock_->setStaleLockTime(0);
    acquired_ = lock_->tryLock(0);
}

SingleInstance::~SingleInstance() = default;

} // namespace platform
