// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsHelpers.h"
#include "records/GameSettings.h"
#include "records/SettingsFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using settings::GameSettings;

// The settings file in the game's terms. A file with every field at an edge comes back as the
// game's values and goes out again byte for byte; what the game gives beyond the fields is
// clamped, and a stored number that names no mode gives none.
TEST(GameSettings, LoadValuesSaveRoundTrip)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.vrl"));
    const QString out = dir.filePath(QStringLiteral("out.vrl"));

    settings::Record r = withInitials("\xFF? ", 100, 1);
    r.IniScaleWidth = 32767;
    r.IniScaleHeight = -32768;
    r.IniWidth = 32760; // twips, 2184 pixels
    r.IniHeight = -32760;
    ASSERT_TRUE(settings::save(in, r));
    const std::optional<GameSettings> s = settings::loadGame(in);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->mode, GameMode::Noir);
    EXPECT_EQ(s->nom, QString(QChar(0xFF)) + QStringLiteral("? "));
    EXPECT_EQ(s->record, 100);
    EXPECT_EQ(s->client, QSize(32767, -32768));
    EXPECT_EQ(s->outer, QSize(2184, -2184));
    // No usable client size stored: the outer one less the menu bar.
    EXPECT_EQ(settings::restoredClient(*s, 20), QSize(2184, -2204));
    ASSERT_TRUE(settings::saveGame(out, *s));
    EXPECT_EQ(fileBytes(out), fileBytes(in));

    GameSettings wide;
    wide.mode = std::nullopt;
    wide.nom = QStringLiteral("\u20AC\u0100"); // the euro is code 0x80; the other is no code
    wide.client = QSize(40000, -40000);
    wide.outer = QSize(3000, 0);
    ASSERT_TRUE(settings::saveGame(out, wide));
    const QByteArray bytes = fileBytes(out);
    const auto stored = settings::decode(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size()));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->IniMode, 3);
    EXPECT_EQ(settings::initialsOf(*stored), (std::array<std::uint8_t, 3>{0x80, '?', ' '}));
    EXPECT_EQ(stored->IniScaleWidth, 32767);
    EXPECT_EQ(stored->IniScaleHeight, -32768);
    EXPECT_EQ(stored->IniWidth, 32767);
    EXPECT_EQ(stored->IniHeight, 0);

    r.IniMode = 7;
    ASSERT_TRUE(settings::save(in, r));
    EXPECT_EQ(settings::loadGame(in)->mode, std::nullopt);
}

// A save never sets the top score back: one written to the file since this run read it (by
// another copy) stays with its initials unless this run beat it, and clearing the top score
// clears only the one this run knew. The size and the mode are the closer's.
TEST(GameSettings, ASaveKeepsABetterTopScoreWrittenSince)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vorlinini.vrl"));
    using settings::TopScore;
    const TopScore loaded{QStringLiteral("AAA"), 42}, none{QStringLiteral("   "), 0};
    struct Case {
        TopScore since, ours, kept;
    };
    const Case cases[] = {
        {{QStringLiteral("BBB"), 60}, {QStringLiteral("CCC"), 50}, {QStringLiteral("BBB"), 60}}, // better, written since
        {{QStringLiteral("BBB"), 60}, {QStringLiteral("CCC"), 70}, {QStringLiteral("CCC"), 70}}, // beaten by this run
        {loaded, none, none},                                                                  // cleared by this run
        {{QStringLiteral("BBB"), 30}, none, {QStringLiteral("BBB"), 30}},                      // set after this run cleared
        {none, loaded, none},                                                                  // cleared by another copy
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(settings::save(path, withInitials(c.since.nom.toLatin1().constData(), c.since.record)));
        GameSettings ours;
        ours.mode = GameMode::Rouge;
        ours.client = QSize(400, 300);
        ours.nom = c.ours.nom;
        ours.record = c.ours.record;
        ASSERT_TRUE(settings::saveGame(path, ours, loaded));
        const std::optional<GameSettings> now = settings::loadGame(path);
        ASSERT_TRUE(now);
        EXPECT_EQ(now->nom, c.kept.nom) << c.ours.nom.toStdString();
        EXPECT_EQ(now->record, c.kept.record) << c.ours.nom.toStdString();
        EXPECT_EQ(now->mode, GameMode::Rouge);
        EXPECT_EQ(now->client, QSize(400, 300));
    }
}
