#pragma once

#include "records/SettingsRecord.h"

#include <QString>
#include <optional>

namespace settings {

inline const QString kFileName = QStringLiteral("Vorlinini.vrl");

enum class LoadResult { Missing, Unusable, Loaded };

// Reads the record; Unusable for a file that cannot be read, is shorter than 22 bytes or has
// initials out of their ranges (the caller then keeps the defaults and leaves the file alone).
LoadResult load(const QString& path, Record& out);
// Writes the 22 bytes atomically: a failure leaves the previous file whole.
bool save(const QString& path, const Record& r);

} // namespace settings
