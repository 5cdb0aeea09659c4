#include "records/SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace settings {

namespace {

// Settings names that are links, each with the file it led to when that file loaded as a
// good record in this run: the only link a save may write through.
QHash<QString, QString>& trustedLinks()
{
    static QHash<QString, QString> links;
    return links;
}

// A save killed between writing and renaming leaves its temporary file beside the
// settings: the name, a dot and six random letters or digits. A suffix of lower-case
// letters only is more likely a word someone chose ("backup") and is kept.
bool isStrayTemporary(std::string_view name, std::string_view settingsName)
{
    if (name.size() != settingsName.size() + 7 || !name.starts_with(settingsName) || name[settingsName.size()] != '.')
        return false;
    bool allLower = true;
    for (const char c : name.substr(settingsName.size() + 1)) {
        const bool lower = c >= 'a' && c <= 'z';
        if (!lower && !(c >= 'A' && c <= 'Z') && !(c >= '0' && c <= '9'))
            return false;
        allLower = allLower && lower;
    }
    return !allLower;
}

// Read with readdir and plain comparisons: a name filter or a regular expression would be
// compiled on every start, before the first window shows.
void removeStrayTemporaries(const QString& path)
{
    const QFileInfo info(path);
    const QByteArray dirName = QFile::encodeName(info.absolutePath());
    const std::string settingsName = QFile::encodeName(info.fileName()).toStdString();
    DIR* dir = ::opendir(dirName.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isStrayTemporary(entry->d_name, settingsName))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

} // namespace

LoadResult load(const QString& path, Record& out)
{
    removeStrayTemporaries(path);
    const QFileInfo info(path);
    trustedLinks().remove(info.absoluteFilePath());
    if (!info.exists())
        return LoadResult::Missing;
    // A directory or a FIFO of that name is never opened: reading a FIFO would hold up start-up.
    if (!info.isFile())
        return LoadResult::Unusable;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return LoadResult::Unusable;
    const QByteArray bytes = f.read(kSize);
    const auto r = decode({reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
    if (!r)
        return LoadResult::Unusable;
    if (info.isSymLink())
        trustedLinks().insert(info.absoluteFilePath(), info.canonicalFilePath());
    out = *r;
    return LoadResult::Loaded;
}

bool save(const QString& path, const Record& r)
{
    // Only the game's own file is replaced: a plain file, or a new one where there is none.
    // A link is written through only to the file it led to when that loaded as a good
    // record; a device, FIFO, socket or directory is never replaced.
    const QFileInfo info(path);
    QString target = info.absoluteFilePath();
    struct stat st {};
    if (::lstat(QFile::encodeName(target).constData(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            const QString trusted = trustedLinks().value(target);
            target = info.canonicalFilePath();
            if (trusted.isEmpty() || target != trusted || ::stat(QFile::encodeName(target).constData(), &st) != 0)
                return false;
        }
        if (!S_ISREG(st.st_mode))
            return false;
    } else if (errno != ENOENT) {
        return false;
    }

    const auto bytes = encode(r);
    QSaveFile f(target);
    // Unbuffered, so that a short write is seen here: a buffered one only fails at commit,
    // where Qt has been seen to replace the old file with the part that was written.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (f.write(reinterpret_cast<const char*>(bytes.data()), kSize) != static_cast<qint64>(kSize) ||
        f.error() != QFileDevice::NoError) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace settings
