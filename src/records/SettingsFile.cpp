// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/SettingsFile.h"

#include "platform/BoundedFile.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <string>
#include <string_view>

namespace settings {

namespace {

// Settings names that are links, each with the file it led to when that file loaded as a
// good record in this run: the only link a save may write through.
QHash<QString, QString>& trustedLinks()
{
    static QHash<QString, QString> links;
    return links;
}

void removeStrayTemporaries(const QString& path)
{
    const QFileInfo info(path);
    const std::string settingsName = QFile::encodeName(info.fileName()).toStdString();
    // Only the names of the save's temporary files: what a save killed between writing and
    // renaming leaves. Anything else beside the settings is the player's.
    const std::string prefix = settingsName + std::string(platform::kAtomicPrefix);
    platform::removeFilesIn(info.absolutePath(), [&](std::string_view name) { return name.starts_with(prefix); });
}

// Far more than the record: a longer file still loads from its first 22 bytes, as before,
// but nothing unbounded is read at start-up.
constexpr qint64 kReadCap = 64 * 1024;

} // namespace

LoadResult read(const QString& path, Record& out)
{
    if (!QFileInfo::exists(path))
        return LoadResult::Missing;
    // A directory, a FIFO or a device of that name is never read: a FIFO would hold up start-up.
    const auto bytes = platform::readRegularFile(path, kReadCap);
    if (!bytes)
        return LoadResult::Unusable;
    const auto r = decode({reinterpret_cast<const std::uint8_t*>(bytes->constData()), static_cast<std::size_t>(bytes->size())});
    if (!r)
        return LoadResult::Unusable;
    out = *r;
    return LoadResult::Loaded;
}

LoadResult load(const QString& path, Record& out)
{
    removeStrayTemporaries(path);
    const QFileInfo info(path);
    trustedLinks().remove(info.absoluteFilePath());
    const LoadResult result = read(path, out);
    if (result == LoadResult::Loaded && info.isSymLink())
        trustedLinks().insert(info.absoluteFilePath(), info.canonicalFilePath());
    return result;
}

bool save(const QString& path, const Record& r)
{
    // Only the game's own file is replaced: a plain file, or a new one where there is none.
    // A link is written through only to the file it led to when that loaded as a good
    // record; a device, FIFO, socket or directory is never replaced.
    const QFileInfo info(path);
    QString target = info.absoluteFilePath();
    platform::FileType type = platform::typeOfName(target);
    if (type == platform::FileType::Link) {
        const QString trusted = trustedLinks().value(target);
        target = info.canonicalFilePath();
        // Root writing through a link must not make another user's file root's.
        if (trusted.isEmpty() || target != trusted || !platform::ownedByThisUser(target))
            return false;
        type = platform::typeOfTarget(target);
    }
    if (type != platform::FileType::Regular && type != platform::FileType::Missing)
        return false;

    const auto bytes = encode(r);
    return platform::writeAtomically(target, QByteArray(reinterpret_cast<const char*>(bytes.data()), kSize));
}

} // namespace settings
