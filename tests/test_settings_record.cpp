// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsHelpers.h"
#include "records/Cp1252.h"
#include "records/SettingsRecord.h"

#include <gtest/gtest.h>
#include <random>

using settings::Record;

namespace {

std::uint32_t le32(const std::array<std::uint8_t, 22>& b, int at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

} // namespace

// Files written by earlier versions must still load: the layout is fixed to the byte.
TEST(SettingsRecord, GoldenBytes)
{
    const auto blank = settings::encode(withInitials("   ", 0));
    EXPECT_EQ(blank[8], 3);
    EXPECT_EQ(le32(blank, 9), 223u);
    EXPECT_EQ(le32(blank, 13), 132u);
    EXPECT_EQ(le32(blank, 17), 131u);
    EXPECT_EQ(blank[21], 0);

    Record abc = withInitials("ABC", 57, 2);
    abc.IniScaleHeight = 340;
    abc.IniHeight = 5790;
    abc.IniScaleWidth = 496;
    abc.IniWidth = -2;
    const auto b = settings::encode(abc);
    EXPECT_EQ(b[9], 190);
    EXPECT_EQ(b[13], 166);
    EXPECT_EQ(b[17], 166);
    EXPECT_EQ(b[21], 57);
    EXPECT_EQ(b[8], 2);
    EXPECT_EQ(b[0] | b[1] << 8, 340);
    EXPECT_EQ(b[2] | b[3] << 8, 5790);
    EXPECT_EQ(b[6], 0xFE);
    EXPECT_EQ(b[7], 0xFF);
}

// Every initial the record window can give comes back from the file as it went in; what it
// cannot give ('!' or a control character, a blank before a letter), or a top score above
// 100, marks the file as damaged.
TEST(SettingsRecord, OnlyWhatTheGameWritesLoads)
{
    for (int pos = 0; pos < 3; ++pos)
        for (int code = 0; code < 256; ++code) {
            std::array<std::uint8_t, 3> c{'A', 'b', 'c'};
            c[pos] = static_cast<std::uint8_t>(code);
            Record r;
            settings::setInitials(r, c);
            const auto back = settings::decode(settings::encode(r));
            const bool typed = (code == '?' || code >= 'A' || (code == ' ' && pos == 2)) && code != 0x7F &&
                               code != 0x81 && code != 0x8D && code != 0x8F && code != 0x90 && code != 0x9D;
            ASSERT_EQ(back.has_value(), typed) << "code " << code << " at " << pos;
            if (back) {
                EXPECT_EQ(settings::initialsOf(*back), c);
            }
            // And through the text the game holds.
            const QChar ch = cp1252::toChar(static_cast<std::uint8_t>(code));
            EXPECT_EQ(cp1252::fromChar(ch), code);
        }
    for (const char* padded : {"   ", "A  ", "?b "})
        EXPECT_TRUE(settings::decode(settings::encode(withInitials(padded, 100)))) << padded;
    for (const char* gap : {" AB", "A B", "  B"})
        EXPECT_FALSE(settings::decode(settings::encode(withInitials(gap, 0)))) << gap;
    EXPECT_FALSE(settings::decode(settings::encode(withInitials("ABC", 101))));
    EXPECT_FALSE(settings::decode(settings::encode(withInitials("ABC", 200))));
}

// Short or damaged files are refused, never read past their end.
TEST(SettingsRecord, ShortAndRandomBytes)
{
    const auto good = settings::encode(withInitials("XYZ", 12));
    for (std::size_t n = 0; n < 22; ++n)
        EXPECT_FALSE(settings::decode({good.data(), n})) << n;
    std::mt19937 rng(7);
    int valid = 0;
    for (int i = 0; i < 2000; ++i) {
        std::array<std::uint8_t, 22> b;
        for (auto& x : b) x = static_cast<std::uint8_t>(rng());
        valid += settings::decode(b).has_value();
    }
    EXPECT_LT(valid, 10) << "random initials fields are almost never in range";
    EXPECT_EQ(settings::clamp16(70000), 32767);
    EXPECT_EQ(settings::clamp16(-70000), -32768);
    EXPECT_EQ(settings::clamp16(2.5), 2);
}

// DEL and the five codes Windows-1252 leaves undefined are control codes: a file with one in
// its initials is damaged, in any place; the printable neighbours load.
TEST(SettingsRecord, DelAndUndefinedCodesAreRefused)
{
    for (int pos = 0; pos < 3; ++pos) {
        for (const int code : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x7E, 0x80, 0x8E, 0x9F, 0xA0}) {
            std::array<std::uint8_t, 3> c{'A', 'B', 'C'};
            c[pos] = static_cast<std::uint8_t>(code);
            Record r;
            settings::setInitials(r, c);
            const bool control = code == 0x7F || code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 ||
                                 code == 0x9D;
            EXPECT_EQ(settings::decode(settings::encode(r)).has_value(), !control) << "code " << code << " at " << pos;
        }
    }
}
