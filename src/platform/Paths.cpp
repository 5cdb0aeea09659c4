#include "platform/Paths.h"

#include <QDir>

namespace platform {

QString currentDirPath(const QString& windowsRelativePath)
{
    QString rel = windowsRelativePath;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::isRelativePath(rel) ? QDir::currentPath() + QLatin1Char('/') + rel : rel;
}

} // namespace platform
