// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/SettingsRecord.h"

#include "base/LittleEndian.h"
#include "records/Cp1252.h"

#include <algorithm>
#include <cmath>

namespace settings {

namespace {

void put(std::array<std::uint8_t, kSize>& b, std::size_t at, std::uint32_t v, int bytes)
{
    le::put(b.data() + at, v, bytes);
}

std::uint32_t get(std::span<const std::uint8_t> b, std::size_t at, int bytes)
{
    return le::get(b.data() + at, bytes);
}

} // namespace

std::array<std::uint8_t, kSize> encode(const Record& r)
{
    std::array<std::uint8_t, kSize> b{};
    put(b, 0, static_cast<std::uint16_t>(r.IniScaleHeight), 2);
    put(b, 2, static_cast<std::uint16_t>(r.IniHeight), 2);
    put(b, 4, static_cast<std::uint16_t>(r.IniScaleWidth), 2);
    put(b, 6, static_cast<std::uint16_t>(r.IniWidth), 2);
    b[8] = r.IniMode;
    put(b, 9, static_cast<std::uint32_t>(r.IniCode1), 4);
    put(b, 13, static_cast<std::uint32_t>(r.IniCode2), 4);
    put(b, 17, static_cast<std::uint32_t>(r.IniCode3), 4);
    b[21] = r.record;
    return b;
}

std::optional<Record> decode(std::span<const std::uint8_t> b)
{
    if (b.size() < kSize)
        return std::nullopt;
    Record r;
    r.IniScaleHeight = static_cast<std::int16_t>(get(b, 0, 2));
    r.IniHeight = static_cast<std::int16_t>(get(b, 2, 2));
    r.IniScaleWidth = static_cast<std::int16_t>(get(b, 4, 2));
    r.IniWidth = static_cast<std::int16_t>(get(b, 6, 2));
    r.IniMode = b[8];
    r.IniCode1 = static_cast<std::int32_t>(get(b, 9, 4));
    r.IniCode2 = static_cast<std::int32_t>(get(b, 13, 4));
    r.IniCode3 = static_cast<std::int32_t>(get(b, 17, 4));
    r.record = b[21];
    // Values the game could never have written mean a damaged file.
    if (r.record > 100 || !initialsValid(r))
        return std::nullopt;
    return r;
}

bool initialsValid(const Record& r)
{
    if (!(r.IniCode1 >= 0 && r.IniCode1 <= 255 && r.IniCode2 >= 100 && r.IniCode2 <= 355 && r.IniCode3 >= 99 &&
          r.IniCode3 <= 354))
        return false;
    // The record window turns every code below 'A' into '?', so a typed initial is '?' or
    // 'A' and up; OK pads the text with blanks on the right. Editing in the box can move
    // any typed character to any place, so the place does not narrow the set further. DEL and
    // the codes Windows-1252 leaves undefined are control codes like those below the blank.
    const auto codes = initialsOf(r);
    bool padding = false;
    for (const std::uint8_t c : codes) {
        if (c == ' ')
            padding = true;
        else if (padding || (c != '?' && c < 'A') || !cp1252::isPrintable(c))
            return false;
    }
    return true;
}

std::array<std::uint8_t, 3> initialsOf(const Record& r)
{
    return {static_cast<std::uint8_t>(255 - r.IniCode1), static_cast<std::uint8_t>(r.IniCode2 - 100),
            static_cast<std::uint8_t>(r.IniCode3 - 99)};
}

void setInitials(Record& r, const std::array<std::uint8_t, 3>& c)
{
    r.IniCode1 = 255 - c[0];
    r.IniCode2 = c[1] + 100;
    r.IniCode3 = c[2] + 99;
}

std::int16_t clamp16(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<std::int16_t>(std::clamp(std::nearbyint(v), -32768.0, 32767.0));
}

} // namespace settings
