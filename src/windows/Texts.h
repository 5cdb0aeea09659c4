// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The fixed texts of the Help and version-history windows.
namespace texts {

// 33 lines joined by CR LF, tabs and blanks as laid out for the Help window.
QString helpText();
// The change notes: empty first and last lines, every other line starting with an apostrophe.
QString versionHistory();

} // namespace texts
