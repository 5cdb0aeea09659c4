#include "records/SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace settings {

LoadResult load(const QString& path, Record& out)
{
    const QFileInfo info(path);
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
    if (!r || !initialsValid(*r))
        return LoadResult::Unusable;
    out = *r;
    return LoadResult::Loaded;
}

bool save(const QString& path, const Record& r)
{
    const auto bytes = encode(r);
    QSaveFile f(path);
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
