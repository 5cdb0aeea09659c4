// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The 22-byte settings record of Vorlinini.vrl: little-endian, packed, no header.
//   0  int16  client height, pixels     9  int32  255 - code of the 1st initial
//   2  int16  outer height, twips      13  int32  code of the 2nd initial + 100
//   4  int16  client width, pixels     17  int32  code of the 3rd initial + 99
//   6  int16  outer width, twips       21  uint8  top score, percent
//   8  uint8  mode: 1 black, 2 red, 3 two players
namespace settings {

constexpr std::size_t kSize = 22;

struct Record {
    std::int16_t IniScaleHeight = 0;
    std::int16_t IniHeight = 0;
    std::int16_t IniScaleWidth = 0;
    std::int16_t IniWidth = 0;
    std::uint8_t IniMode = 3;
    std::int32_t IniCode1 = 255 - 32;
    std::int32_t IniCode2 = 32 + 100;
    std::int32_t IniCode3 = 32 + 99;
    std::uint8_t record = 0;
};

std::array<std::uint8_t, kSize> encode(const Record& r);
// The fields of a record of at least 22 bytes (more is ignored), or nothing when the bytes
// are short or hold what the game never writes: a top score above 100, or initials that
// typing in the record window cannot give.
std::optional<Record> decode(std::span<const std::uint8_t> bytes);

// The initials as Windows-1252 codes, coded and decoded as the file stores them.
std::array<std::uint8_t, 3> initialsOf(const Record& r); // precondition: fields within their ranges
void setInitials(Record& r, const std::array<std::uint8_t, 3>& codes);
// Up to three typed initials ('?' or a code from 'A' up), then blanks.
bool initialsValid(const Record& r);

// A size for a signed 16-bit field, clamped.
std::int16_t clamp16(double v);

} // namespace settings
