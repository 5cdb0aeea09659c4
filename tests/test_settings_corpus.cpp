// SPDX-License-Identifier: GPL-3.0-or-later
// The settings fuzzer's seed corpus, replayed through its own check so every seed stays a
// regression test in the ordinary build.
#include "SettingsCheck.h"
#include "records/SettingsRecord.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(SettingsCorpus, EverySeedKeepsTheRules)
{
    const QDir dir(QStringLiteral(VORLIN_SETTINGS_CORPUS_DIR));
    const QStringList seeds = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(seeds.size(), 8);
    int decoded = 0;
    for (const QString& name : seeds) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = f.readAll();
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        const auto size = static_cast<std::size_t>(bytes.size());
        const auto broken = checkSettingsRecord(data, size);
        EXPECT_FALSE(broken) << name.toStdString() << ": " << broken.value_or("");
        decoded += settings::decode({data, size}).has_value();
    }
    // The seeds reach both ends: records that decode, and files too short to.
    EXPECT_GT(decoded, 0);
    EXPECT_LT(decoded, seeds.size());
}
