// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Paths.h"

#include <QDir>

namespace paths {

QString currentDirPath(const QString& windowsRelativePath)
{
    QString rel = windowsRelativePath;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::isRelativePath(rel) ? QDir::currentPath() + QLatin1Char('/') + rel : rel;
}

} // namespace paths
