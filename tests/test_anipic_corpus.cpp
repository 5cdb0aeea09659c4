// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzzer's seed corpus, replayed through its own entry so every seed stays a regression
// test in the ordinary build.
#include "GifFramesCheck.h"
#include "anipic/GifFrameDecoder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <map>

namespace {

QByteArray readSeed(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(GifCorpus, EverySeedKeepsTheRules)
{
    const QDir dir(QStringLiteral(VORLIN_GIF_CORPUS_DIR));
    const QStringList seeds = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(seeds.size(), 10);
    for (const QString& name : seeds) {
        const QByteArray bytes = readSeed(dir.filePath(name));
        const auto broken =
            checkGifFrames(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
        EXPECT_FALSE(broken) << name.toStdString() << ": " << broken.value_or("");
    }
}

// The seeds are meant to reach both ends: files that load whole, and files that must fail.
TEST(GifCorpus, SeedsLoadOrFailAsBuilt)
{
    const std::map<std::string, int> framesOrFailure = {
        {"ordinary_3_frames.gif", 3}, {"one_frame.gif", 1},          {"no_marker.gif", 1},
        {"first_marker_unfound.gif", 1}, {"palette256_lzw.gif", 2},  {"local_table_interlaced.gif", 2},
        {"extensions_around.gif", 2},  {"empty_gce_block.gif", 1},   {"off_screen_image.gif", 2},
        {"zero_screen.gif", 2},        {"no_trailer.gif", 3},        {"truncated_after_marker.gif", 1},
        {"empty.gif", 0},              {"adjacent_markers.gif", -1}, {"short_second_chunk.gif", -1},
        {"zero_size_image.gif", -1},   {"tiny.gif", -1},             {"huge_screen_many_frames.gif", -1},
    };
    const QDir dir(QStringLiteral(VORLIN_GIF_CORPUS_DIR));
    for (const auto& [name, expected] : framesOrFailure) {
        const QByteArray bytes = readSeed(dir.filePath(QString::fromStdString(name)));
        ASSERT_TRUE(!bytes.isEmpty() || expected == 0) << name;
        const auto frames = anipic::decodeGifFrames(bytes);
        EXPECT_EQ(frames ? static_cast<int>(frames->size()) : -1, expected) << name;
    }
}
