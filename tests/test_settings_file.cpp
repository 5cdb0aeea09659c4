#include "records/SettingsFile.h"
#include "records/SettingsRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using settings::Record;

namespace {

Record withInitials(const char* s, std::uint8_t record, std::uint8_t mode = 3)
{
    Record r;
    settings::setInitials(r, {std::uint8_t(s[0]), std::uint8_t(s[1]), std::uint8_t(s[2])});
    r.record = record;
    r.IniMode = mode;
    return r;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(SettingsFile, MissingUnusableAndAtomicSave)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vorlinini.vrl");
    Record r;
    EXPECT_EQ(settings::load(path, r), settings::LoadResult::Missing);
    ASSERT_TRUE(settings::save(path, withInitials("ABC", 57)));
    EXPECT_EQ(fileBytes(path).size(), 22);
    EXPECT_EQ(settings::load(path, r), settings::LoadResult::Loaded);
    EXPECT_EQ(r.record, 57);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(21, 'x'));
    f.close();
    EXPECT_EQ(settings::load(path, r), settings::LoadResult::Unusable);

    // Something that is not a plain file under the name is not read; a FIFO would block.
    QTemporaryDir other;
    const QString fifo = other.filePath("Vorlinini.vrl");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(settings::load(fifo, r), settings::LoadResult::Unusable);
    ASSERT_TRUE(QFile::remove(fifo));
    ASSERT_TRUE(QDir(other.path()).mkdir("Vorlinini.vrl"));
    EXPECT_EQ(settings::load(fifo, r), settings::LoadResult::Unusable);

    // A save that fails half-way (here the file-size limit of the process, which holds for
    // root too) returns false and leaves the old file whole.
    ASSERT_TRUE(settings::save(path, withInitials("OLD", 9)));
    const QByteArray old = fileBytes(path);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool ok = settings::save(path, withInitials("NEW", 10));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(fileBytes(path), old);

    // A directory that does not exist: no crash, no file.
    EXPECT_FALSE(settings::save(dir.filePath("missing/Vorlinini.vrl"), withInitials("NEW", 10)));
}
