// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/SettingsFile.h"

#include "platform/BoundedFile.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
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

void removeStrayTemporaries(const QString& path)
{
    const QFileInfo info(path);
    const std::string settingsName = QFile::encodeName(info.fileName()).toStdString();
    platform::removeFilesIn(info.absolutePath(), [&](std::string_view name) { return isStrayTemporary(name, settingsName); });
}

// Far more than the record: a longer file still loads from its first 22 bytes, as before,
// but nothing unbounded is read at start-up.
constexpr qint64 kReadCap = 64 * 1024;

} // namespace

LoadResult load(const QString& path, Record& out)
{
    removeStrayTemporaries(path);
    const QFileInfo info(path);
    trustedLinks().remove(info.absoluteFilePath());
    if (!info.exists())
        return LoadResult::Missing;
    // A directory, a FIFO or a device of that name is never read: a FIFO would hold up start-up.
    const auto bytes = platform::readRegularFile(path, kReadCap);
    if (!bytes)
        return LoadResult::Unusable;
    const auto r = decode({reinterpret_cast<const std::uint8_t*>(bytes->constData()), static_cast<std::size_t>(bytes->size())});
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
    platform::FileType type = platform::typeOfName(target);
    if (type == platform::FileType::Link) {
        const QString trusted = trustedLinks().value(target);
        target = info.canonicalFilePath();
        if (trusted.isEmpty() || target != trusted)
            return false;
        type = platform::typeOfTarget(target);
    }
    if (type != platform::FileType::Regular && type != platform::FileType::Missing)
        return false;

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
