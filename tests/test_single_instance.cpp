// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

} // namespace

// A second copy finds the lock taken; a lock left by a run that crashed is taken over.
TEST(SingleInstance, SecondCopyAndStaleLock)
{
    QTemporaryDir dir;
    {
        startup::SingleInstance first(dir.path());
        EXPECT_TRUE(first.guarded());
        startup::SingleInstance second(dir.path());
        EXPECT_TRUE(second.otherCopyRunning());
    }
    // A lock whose owner is gone: a process id that cannot be running.
    writeFile(dir.filePath("vorlin.lock"), "999999999\nvorlin\n");
    startup::SingleInstance next(dir.path());
    EXPECT_TRUE(next.guarded());
}

// Only a running copy of the game stops a new one. Whatever else is left in the lock's place
// is taken over; a lock that cannot be made lets the game run unguarded. The lock lives in a
// folder no other user can write to.
TEST(SingleInstance, NothingButARunningCopyStopsTheGame)
{
    QTemporaryDir dir;
    const QString lock = dir.filePath("vorlin.lock");
    const QByteArray local = QFile::encodeName(lock);
    auto takenOver = [&] {
        startup::SingleInstance s(dir.path());
        return s.guarded() && !s.otherCopyRunning();
    };
    writeFile(lock, "");
    EXPECT_TRUE(takenOver()) << "empty";
    writeFile(lock, "12\n");
    ASSERT_EQ(::chmod(local.constData(), 0), 0);
    EXPECT_TRUE(takenOver()) << "unreadable";
    ASSERT_TRUE(QFile::remove(lock));
    ASSERT_TRUE(QDir(dir.path()).mkdir("vorlin.lock"));
    EXPECT_TRUE(takenOver()) << "a folder";
    ASSERT_FALSE(QFileInfo(lock).isDir());
    ASSERT_TRUE(QFile::remove(lock));
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere"), lock));
    EXPECT_TRUE(takenOver()) << "a link";
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("elsewhere")));
    {
        // Held, but by a process that is not the game: here an open file of this test's, with
        // the id of the first process of the system in it.
        writeFile(lock, "1\n");
        const int fd = ::open(local.constData(), O_RDWR);
        ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        EXPECT_TRUE(takenOver()) << "held by another program";
        ::close(fd);
    }
    startup::SingleInstance nowhere(dir.filePath("missing"));
    EXPECT_FALSE(nowhere.otherCopyRunning());
    EXPECT_FALSE(nowhere.guarded());

    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), cache = qgetenv("XDG_CACHE_HOME");
    QTemporaryDir run, home;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path()));
    ASSERT_EQ(::chmod(QFile::encodeName(run.path()).constData(), 0700), 0);
    EXPECT_EQ(startup::SingleInstance::defaultFolder(), run.path());
    ASSERT_EQ(::chmod(QFile::encodeName(run.path()).constData(), 0777), 0);
    EXPECT_EQ(startup::SingleInstance::defaultFolder(), home.filePath("vorlin")) << "a shared runtime folder";
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(startup::SingleInstance::defaultFolder(), home.filePath("vorlin"));
    EXPECT_EQ(modeOf(home.filePath("vorlin")), 0700u);
    runtime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtime);
    cache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", cache);
}
