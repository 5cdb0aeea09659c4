// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace paths {

// A resource path as the game writes it ("Vorlin107_rsc\Beam.wav"), with "/" as the
// separator and made absolute from the current directory at the moment of the call; an
// absolute path stays as it is. The one place where the backslash rule lives.
QString currentDirPath(const QString& windowsRelativePath);

} // namespace paths
