// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsCheck.h"

#include "records/SettingsRecord.h"

#include <algorithm>

std::optional<std::string> checkSettingsRecord(const std::uint8_t* data, std::size_t size)
{
    const std::optional<settings::Record> r = settings::decode({data, size});
    if (!r)
        return std::nullopt;
    if (size < settings::kSize)
        return "a record decoded from " + std::to_string(size) + " bytes";
    const auto bytes = settings::encode(*r);
    if (!std::equal(bytes.begin(), bytes.end(), data))
        return std::string("the record does not encode back to the bytes it came from");
    if (settings::initialsValid(*r)) {
        settings::Record again;
        settings::setInitials(again, settings::initialsOf(*r));
        if (again.IniCode1 != r->IniCode1 || again.IniCode2 != r->IniCode2 || again.IniCode3 != r->IniCode3)
            return std::string("valid initials change in their round trip");
    }
    return std::nullopt;
}
