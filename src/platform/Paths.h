#pragma once

#include <QString>

namespace platform {

// A resource path as the game writes it ("Vorlin107_rsc\Beam.wav"), made absolute from the
// current directory at the moment of the call, with "/" as the separator.
QString currentDirPath(const QString& windowsRelativePath);

} // namespace platform
