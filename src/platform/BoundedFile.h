// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

// The whole content of the file at path, when it is a regular file (a symlink to one will
// do) of at most cap bytes; nullopt otherwise, or when it cannot be read. A FIFO, a device,
// a directory or a socket is never read from, and opening one never blocks; a file that
// grows past cap while it is read is refused too.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 cap);

} // namespace platform
