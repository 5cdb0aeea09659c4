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
        if (::fstatat(::dirfd(d), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(::dirfd(d), entry->d_name, 0);
    }
    ::closedir(d);
}

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + QByteArray(kAtomicSuffix.data(), qsizetype(kAtomicSuffix.size()));
    struct stat st {};
    // A link planted under the temporary name would lead the write elsewhere.
    if (::lstat(temporary.constData(), &st) == 0 && !S_ISREG(st.st_mode) && ::unlink(temporary.constData()) != 0)
        return false;
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    struct stat old {};
    if (ok && ::stat(target.constData(), &old) == 0)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
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
