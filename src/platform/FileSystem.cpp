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

} // namespace platform
