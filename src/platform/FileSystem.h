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

// Removes the regular files of this user (never a link, a folder, anything else or another
// user's file) directly in dir whose names match. Read with readdir and plain comparisons: a name filter or a regular expression
// would be compiled on every start, before the first window shows.
void removeFilesIn(const QString& dir, const std::function<bool(std::string_view name)>& matches);

// How writeAtomically names its temporary files for path: beside it, its name, this prefix,
// then the process and a count. Each is made new (O_EXCL), never opened if it was there
// already, so nothing planted under such a name is written or stops a write; what is left
// under one is a write that was stopped half-way.
inline constexpr std::string_view kAtomicPrefix = ".vorlin-save-";

// Writes bytes to a new temporary file, then renames that over path: a failure at any point
// leaves path as it was and removes the temporary file. The new file keeps the permissions
// of the one it replaces. A link under path is never followed.
bool writeAtomically(const QString& path, const QByteArray& bytes);

// The file the name leads to belongs to the user running the program.
bool ownedByThisUser(const QString& path);

} // namespace platform
