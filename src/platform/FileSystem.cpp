// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

FileType typeOf(const struct stat& st)
{
    if (S_ISREG(st.st_mode))
        return FileType::Regular;
    if (S_ISLNK(st.st_mode))
        return FileType::Link;
    return FileType::Other;
}

} // namespace

FileType typeOfName(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0)
        return typeOf(st);
    return errno == ENOENT ? FileType::Missing : FileType::Unknown;
}

FileType typeOfTarget(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return typeOf(st);
    return errno == ENOENT ? FileType::Missing : FileType::Unknown;
}

void removeFilesIn(const QString& dir, const std::function<bool(std::string_view name)>& matches)
{
    DIR* d = ::opendir(QFile::encodeName(dir).constData());
    if (!d)
        return;
    while (const dirent* entry = ::readdir(d)) {
        if (!matches(entry->d_name))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(d), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid())
            ::unlinkat(::dirfd(d), entry->d_name, 0);
    }
    ::closedir(d);
}

namespace {

// A file made new under the first free name of path.vorlin-save-<process>-<count>: a name
// taken by anything (a link, a folder, a file of anyone's) is passed over, never opened.
int createTemporary(const QByteArray& target, QByteArray& name)
{
    const QByteArray stem = target + QByteArray(kAtomicPrefix.data(), qsizetype(kAtomicPrefix.size())) +
                            QByteArray::number(::getpid()) + '-';
    for (int n = 0; n < 100; ++n) {
        name = stem + QByteArray::number(n);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0)
        return false;
    struct stat old {};
    bool ok = ::stat(target.constData(), &old) != 0 || ::fchmod(fd, old.st_mode & 07777) == 0;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += ok ? n : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.constData(), target.constData()) == 0;
    if (!ok)
        ::unlink(temporary.constData());
    return ok;
}

bool ownedByThisUser(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && st.st_uid == ::geteuid();
}

} // namespace platform
