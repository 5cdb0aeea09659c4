// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsHelpers.h"
#include "platform/FileSystem.h"
#include "records/SettingsFile.h"
#include "records/SettingsRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using settings::Record;

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

// The save replaces only the game's own file. A link is written through only to the file it
// led to when that loaded as a good record in this run; anything else under the name, and
// whatever it points to, is left as it is.
TEST(SettingsFile, SaveWritesOnlyTheGamesOwnFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vorlinini.vrl");
    const QString notes = dir.filePath("notes.txt");
    const QByteArray unrelated(420, 'n');
    QFile n(notes);
    ASSERT_TRUE(n.open(QIODevice::WriteOnly) && n.write(unrelated) == 420);
    n.close();
    Record r;

    // A link to a file that is no record.
    ASSERT_TRUE(QFile::link(notes, path));
    EXPECT_EQ(settings::load(path, r), settings::LoadResult::Unusable);
    EXPECT_FALSE(settings::save(path, withInitials("ABC", 5)));
    EXPECT_EQ(fileBytes(notes), unrelated);
    EXPECT_TRUE(QFileInfo(path).isSymLink());

    // A dangling link makes no file where it points.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere.vrl"), path));
    EXPECT_EQ(settings::load(path, r), settings::LoadResult::Missing);
    EXPECT_FALSE(settings::save(path, withInitials("ABC", 5)));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("elsewhere.vrl")));

    // A link to a good record is written through, and stays a link; once pointed elsewhere
    // after the load, it is not.
    const QString kept = dir.filePath("kept.vrl"), other = dir.filePath("other.vrl");
    ASSERT_TRUE(settings::save(kept, withInitials("OLD", 1)));
    ASSERT_TRUE(settings::save(other, withInitials("OTH", 2)));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::link(kept, path));
    ASSERT_EQ(settings::load(path, r), settings::LoadResult::Loaded);
    EXPECT_TRUE(settings::save(path, withInitials("NEW", 3)));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(settings::load(kept, r), settings::LoadResult::Loaded);
    EXPECT_EQ(r.record, 3);
    const QByteArray before = fileBytes(other);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::link(other, path));
    EXPECT_FALSE(settings::save(path, withInitials("NEW", 4)));
    EXPECT_EQ(fileBytes(other), before);

    // A FIFO, a folder or a device is never replaced.
    ASSERT_TRUE(QFile::remove(path));
    const QByteArray local = QFile::encodeName(path);
    ASSERT_EQ(mkfifo(local.constData(), 0600), 0);
    EXPECT_FALSE(settings::save(path, withInitials("ABC", 5)));
    struct stat st {};
    ASSERT_EQ(lstat(local.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir(dir.path()).mkdir("Vorlinini.vrl"));
    EXPECT_FALSE(settings::save(path, withInitials("ABC", 5)));
    EXPECT_TRUE(QFileInfo(path).isDir());
    ASSERT_TRUE(QDir(dir.path()).rmdir("Vorlinini.vrl"));
    if (mknod(local.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0) { // a null device, where allowed
        EXPECT_FALSE(settings::save(path, withInitials("ABC", 5)));
        ASSERT_EQ(lstat(local.constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
}

// What a save killed between writing and renaming leaves beside the file goes at the next
// start: regular files under the save's own temporary names. Every other name is the player's
// and stays.
TEST(SettingsFile, OnlyTheSavesOwnTemporariesGoAtTheNextLoad)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vorlinini.vrl");
    ASSERT_TRUE(settings::save(path, withInitials("ABC", 5)));
    const QStringList kept = {"Vorlinini.vrl.Backup", "Vorlinini.vrl.old001", "Vorlinini.vrl.HiEvr3",
                              "Vorlinini.vrl.backup", "Vorlinini.vrl~", "Vorlinini.vrl.vorlin-saved",
                              "Vorlinini.vrl.vorlin-save", "Other.vrl.vorlin-save-12-0"};
    // What saves killed before their rename leave.
    const QStringList leftovers = {"Vorlinini.vrl.vorlin-save-12-0", "Vorlinini.vrl.vorlin-save-4242-7"};
    for (const QString& name : kept + leftovers) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("x", 1) == 1);
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("Vorlinini.vrl.vorlin-save-13-0"));
    Record r;
    EXPECT_EQ(settings::load(path, r), settings::LoadResult::Loaded);
    EXPECT_EQ(r.record, 5);
    for (const QString& name : kept)
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(name))) << qPrintable(name);
    for (const QString& name : leftovers)
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(name))) << qPrintable(name);
    EXPECT_TRUE(QFileInfo(dir.filePath("Vorlinini.vrl.vorlin-save-13-0")).isDir());
}

// The save's temporary file is made new: a hard link to a file of the player's, a read-only
// file or a folder, under the name earlier versions wrote through or under the names this save
// tries first, is neither written nor stops the save.
TEST(SettingsFile, NothingUnderATemporaryNameIsWrittenOrStopsTheSave)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Vorlinini.vrl"), notes = dir.filePath("notes.txt");
    QFile n(notes);
    ASSERT_TRUE(n.open(QIODevice::WriteOnly) && n.write("notes") == 5);
    n.close();
    const QString stem = path + QString::fromLatin1(platform::kAtomicPrefix) + QString::number(::getpid());
    const QStringList names = {path + ".vorlin-save", stem + "-0", stem + "-1"};
    for (int kind = 0; kind < 3; ++kind) {
        for (const QString& name : names) {
            const QByteArray local = QFile::encodeName(name);
            if (kind == 0) {
                ASSERT_EQ(::link(QFile::encodeName(notes).constData(), local.constData()), 0);
            } else if (kind == 1) {
                QFile f(name);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("ro") == 2);
                f.close();
                ASSERT_EQ(::chmod(local.constData(), 0444), 0);
            } else {
                ASSERT_TRUE(QDir().mkdir(name));
            }
        }
        ASSERT_TRUE(settings::save(path, withInitials("ABC", std::uint8_t(kind + 1)))) << kind;
        Record r;
        ASSERT_EQ(settings::read(path, r), settings::LoadResult::Loaded);
        EXPECT_EQ(r.record, kind + 1);
        EXPECT_EQ(fileBytes(notes), "notes");
        for (const QString& name : names) {
            if (kind == 1) {
                EXPECT_EQ(fileBytes(name), "ro");
            }
            EXPECT_EQ(QFileInfo(name).isDir(), kind == 2);
            ASSERT_TRUE(kind == 2 ? QDir().rmdir(name) : QFile::remove(name));
        }
    }
}

// As root, a link to another user's settings is not written through: the save would make
// that user's file root's.
TEST(SettingsFile, RootWritesThroughALinkOnlyToItsOwnFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can write to another user's file";
    QTemporaryDir dir;
    const QString path = dir.filePath("Vorlinini.vrl"), theirs = dir.filePath("theirs.vrl");
    ASSERT_TRUE(settings::save(theirs, withInitials("THR", 7)));
    ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 4242, 4242), 0);
    ASSERT_TRUE(QFile::link(theirs, path));
    Record r;
    ASSERT_EQ(settings::load(path, r), settings::LoadResult::Loaded);
    const QByteArray before = fileBytes(theirs);
    EXPECT_FALSE(settings::save(path, withInitials("NEW", 8)));
    EXPECT_EQ(fileBytes(theirs), before);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(theirs).constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 4242u);
}
