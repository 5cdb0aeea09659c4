// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/SettingsRecord.h"

#include <QString>
#include <optional>

namespace settings {

inline const QString kFileName = QStringLiteral("Vorlinini.vrl");

enum class LoadResult { Missing, Unusable, Loaded };

// Reads the record; Unusable for a file that is not a plain one, cannot be read or holds
// what the game never writes (the caller then keeps the defaults and leaves the file
// alone). First removes what a save killed half-way left beside it.
LoadResult load(const QString& path, Record& out);
// Reads the record as it is now, as load does, and changes nothing.
LoadResult read(const QString& path, Record& out);
// Writes the 22 bytes atomically: a failure leaves the previous file whole. Writes nothing
// when the name is held by anything but a plain file, or by a link other than one to a
// plain file that loaded as a good record in this run.
bool save(const QString& path, const Record& r);

} // namespace settings
