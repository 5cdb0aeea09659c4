// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

void QtShell::open(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}

} // namespace platform
