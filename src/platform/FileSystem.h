// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <string_view>

namespace platform {

enum class FileType { Missing, Regular, Link, Other, Unknown };

// What the name is, without following a link (lstat); Unknown when it cannot be told.
FileType typeOfName(const QString& path);
// What the name leads to, following links (stat).
FileType typeOfTarget(const QString& path);

// Removes the regular files (never a link, a folder or anything else) directly in dir whose
// names match. Read with readdir and plain comparisons: a name filter or a regular expression
// would be compiled on every start, before the first window shows.
void removeFilesIn(const QString& dir, const std::function<bool(std::string_view name)>& matches);

} // namespace platform
