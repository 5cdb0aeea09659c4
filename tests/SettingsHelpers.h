// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared by the settings tests: a record with given initials, and a file's bytes.
#include "records/SettingsRecord.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>

inline settings::Record withInitials(const char* s, std::uint8_t record, std::uint8_t mode = 3)
{
    settings::Record r;
    settings::setInitials(r, {std::uint8_t(s[0]), std::uint8_t(s[1]), std::uint8_t(s[2])});
    r.record = record;
    r.IniMode = mode;
    return r;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
