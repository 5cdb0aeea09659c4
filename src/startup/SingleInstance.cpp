// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace startup {

namespace {

QByteArray local(const QString& path) { return QFile::encodeName(path); }

// A folder of this user's that no one else may write to.
bool isPrivateFolder(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && QDir::isAbsolutePath(path) && ::lstat(local(path).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

QByteArray readSmall(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(256).trimmed() : QByteArray();
}

// A running process of this user with the same program name as ours.
bool isRunningCopy(pid_t pid)
{
    if (pid <= 0)
        return false;
    const QString proc = QStringLiteral("/proc/%1").arg(pid);
    struct stat st {};
    if (::stat(local(proc).constData(), &st) != 0 || st.st_uid != ::getuid())
        return false;
    const QByteArray name = readSmall(proc + QStringLiteral("/comm"));
    return !name.isEmpty() && name == readSmall(QStringLiteral("/proc/self/comm"));
}

pid_t pidIn(int fd)
{
    char buf[32] = {};
    const ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
    if (n <= 0)
        return 0;
    bool ok = false;
    const long pid = QByteArray(buf, n).trimmed().toLong(&ok);
    return ok && pid > 0 ? static_cast<pid_t>(pid) : 0;
}

// Clears whatever holds the lock's name; in a private folder it can only be left over.
bool removeName(const QByteArray& path)
{
    return ::unlink(path.constData()) == 0 || ::rmdir(path.constData()) == 0;
}

} // namespace

QString SingleInstance::defaultFolder()
{
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (isPrivateFolder(runtime))
        return runtime;
    for (auto kind : {QStandardPaths::GenericCacheLocation, QStandardPaths::GenericDataLocation}) {
        const QString base = QStandardPaths::writableLocation(kind);
        if (base.isEmpty() || !QDir::isAbsolutePath(base) || !QDir().mkpath(base))
            continue;
        const QString folder = QDir(base).filePath(QStringLiteral("vorlin"));
        const QByteArray path = local(folder);
        ::mkdir(path.constData(), 0700);
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid())
            ::chmod(path.constData(), 0700);
        if (isPrivateFolder(folder))
            return folder;
    }
    return QString();
}

SingleInstance::SingleInstance(const QString& folder)
    : folder_(folder.isEmpty() ? defaultFolder() : folder)
{
    if (folder_.isEmpty())
        return;
    const QByteArray path = local(QDir(folder_).filePath(QStringLiteral("vorlin.lock")));
    // The kernel drops the lock with its holder, so a crash never leaves it taken, whatever
    // the file holds. The process id inside only says who holds it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0) {
            // A link, a folder, a socket or a file we may not open holds the name. Any other
            // failure (no folder, full disk, no file handles left) leaves the game unguarded,
            // and a live copy's lock where it is.
            const bool planted =
                errno == ELOOP || errno == EISDIR || errno == ENXIO || errno == EACCES || errno == EPERM;
            if (!planted || !removeName(path))
                return;
            continue;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
            ::close(fd);
            if (!removeName(path))
                return;
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            const QByteArray pid = QByteArray::number(::getpid()) + '\n';
            // A full disk leaves the file empty; the lock holds all the same.
            const bool written = ::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.constData(), pid.size(), 0) == pid.size();
            Q_UNUSED(written);
            fd_ = fd;
            state_ = State::Held;
            return;
        }
        if (errno != EWOULDBLOCK) {
            ::close(fd);
            return;
        }
        // A copy that has just taken the lock may not have written its id yet.
        pid_t holder = pidIn(fd);
        for (int i = 0; i < 10 && holder == 0; ++i) {
            QThread::msleep(20);
            holder = pidIn(fd);
        }
        ::close(fd);
        if (isRunningCopy(holder)) {
            state_ = State::OtherCopy;
            holder_ = holder;
            return;
        }
        // Held by something that is not the game (a process that inherited it): a new lock
        // under the name.
        if (::unlink(path.constData()) != 0)
            return;
    }
}

SingleInstance::~SingleInstance()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool SingleInstance::askToShow() const
{
    return holder_ > 0 && ::kill(holder_, kShowSignal) == 0;
}

} // namespace startup
