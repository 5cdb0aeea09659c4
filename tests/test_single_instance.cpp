// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/SignalNotifier.h"
#include "startup/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/mount.h>
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

bool heldByAnyone(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const bool held = fd >= 0 && ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    if (fd >= 0)
        ::close(fd);
    return held;
}

// A running copy of the game in a process of its own: this test program, which runs the
// same code, started on the holder below. It says "held" once it holds the lock, then each
// token it is handed, and ends when its input closes.
class Copy {
public:
    Copy(const QString& folder, const QByteArray& mode)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VORLIN_TEST_HOLD", folder);
        env.insert("VORLIN_TEST_MODE", QString::fromLatin1(mode));
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=SingleInstanceHolder.*"});
        for (QByteArray line = nextLine(); !line.isEmpty() || p.state() == QProcess::Running; line = nextLine()) {
            if (line == "held")
                return;
        }
        ADD_FAILURE() << "the copy did not take the lock";
    }
    ~Copy()
    {
        p.closeWriteChannel();
        if (!p.waitForFinished(10000))
            p.kill();
    }
    QByteArray nextLine()
    {
        while (!p.canReadLine() && p.waitForReadyRead(10000)) {
        }
        return p.readLine().trimmed();
    }
    QProcess p;
};

} // namespace

// Not a test of its own (CTest does not list it): the running copy that Copy starts.
TEST(SingleInstanceHolder, Hold)
{
    const QString folder = qEnvironmentVariable("VORLIN_TEST_HOLD");
    if (folder.isEmpty()) {
        GTEST_SKIP();
    }
    const QByteArray mode = qgetenv("VORLIN_TEST_MODE");
    startup::SingleInstance instance(folder);
    ASSERT_TRUE(instance.guarded());
    if (mode == "empty") {
        ASSERT_EQ(::truncate(QFile::encodeName(folder + "/vorlin.lock").constData(), 0), 0);
    }
    instance.acceptShowRequests([](const QByteArray& token) {
        std::printf("token:%s\n", token.constData());
        std::fflush(stdout);
        return true;
    });
    // A copy on its way out: it takes no more requests and lets the lock go a moment later.
    if (mode == "closing")
        instance.stopAcceptingShowRequests();
    std::printf("held\n");
    std::fflush(stdout);
    pollfd in{0, POLLIN, 0};
    while (::poll(&in, 1, mode == "closing" ? 100 : 2) == 0 && mode != "closing")
        instance.answerShowRequests();
}

// A live copy keeps its lock, though the lock file is empty (a full disk, a file-size limit):
// a later copy hands it its activation token and ends; the lock file is the same, still held.
TEST(SingleInstance, ALiveCopyKeepsItsLockAndGetsTheToken)
{
    QTemporaryDir dir;
    const QString lock = dir.filePath("vorlin.lock");
    Copy running(dir.path(), "empty");
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(lock).constData(), &before), 0);
    startup::SingleInstance later(dir.path(), "launcher-token-1");
    EXPECT_TRUE(later.otherCopyRunning());
    EXPECT_FALSE(later.guarded());
    EXPECT_EQ(running.nextLine(), "token:launcher-token-1");
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(lock).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_TRUE(heldByAnyone(lock));

    // A lock whose owner is gone: a process id that cannot be running.
    QTemporaryDir stale;
    writeFile(stale.filePath("vorlin.lock"), "999999999\n");
    startup::SingleInstance next(stale.path());
    EXPECT_TRUE(next.guarded());
}

// A copy on its way out still holds the lock but takes no request: a later copy waits for
// the lock and runs, rather than end and leave no game.
TEST(SingleInstance, ACopyOnItsWayOutLeavesTheGameToTheNext)
{
    QTemporaryDir dir;
    Copy closing(dir.path(), "closing");
    startup::SingleInstance later(dir.path());
    EXPECT_TRUE(later.guarded());
    EXPECT_FALSE(later.otherCopyRunning());
}

// The holder is the game when it runs the game's program, not when it has its name: a
// program named as this one that holds the lock (here through flock(1)) is neither trusted
// nor sent anything, and its lock is taken over.
TEST(SingleInstance, AProgramWithTheGamesNameIsNotTheGame)
{
    QTemporaryDir dir;
    const QString sleeper = dir.filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    ASSERT_TRUE(QFile::copy("/bin/sleep", sleeper));
    QProcess holder;
    // The lock file holds the copied program's id, as an old copy of the game would write it.
    holder.start("flock", {"-n", dir.filePath("vorlin.lock"), "sh", "-c",
                           "echo $$ > \"$0\"; exec \"$1\" 30", dir.filePath("vorlin.lock"), sleeper});
    ASSERT_TRUE(holder.waitForStarted());
    for (int i = 0; i < 500 && QFileInfo(dir.filePath("vorlin.lock")).size() == 0; ++i)
        QThread::msleep(10);
    ASSERT_TRUE(heldByAnyone(dir.filePath("vorlin.lock")));
    {
        startup::SingleInstance next(dir.path());
        EXPECT_TRUE(next.guarded());
    }
    EXPECT_EQ(holder.state(), QProcess::Running) << "the program was sent a signal";
    holder.kill();
    holder.waitForFinished();
}

// A runtime folder where no lock can be made (read-only) gives way to the cache folder: the
// game is guarded all the same.
TEST(SingleInstance, AReadOnlyRuntimeFolderFallsBackToTheCache)
{
    QTemporaryDir run, home;
    const QByteArray runPath = QFile::encodeName(run.path());
    ASSERT_EQ(::chmod(runPath.constData(), 0500), 0);
    if (::access(runPath.constData(), W_OK) == 0 &&
        ::mount("tmpfs", runPath.constData(), "tmpfs", MS_RDONLY, "mode=0500") != 0) {
        GTEST_SKIP() << "no way to make a read-only folder here";
    }
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), cache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_RUNTIME_DIR", runPath);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path()));
    {
        startup::SingleInstance instance;
        EXPECT_TRUE(instance.guarded());
        EXPECT_TRUE(heldByAnyone(home.filePath("vorlin/vorlin.lock")));
    }
    ::umount(runPath.constData());
    ::chmod(runPath.constData(), 0700);
    runtime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtime);
    cache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", cache);
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
    startup::SingleInstance nowhere(QStringList{}, QByteArray());
    EXPECT_FALSE(nowhere.otherCopyRunning());
    EXPECT_FALSE(nowhere.guarded());

    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), cache = qgetenv("XDG_CACHE_HOME");
    QTemporaryDir run, home;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path()));
    ASSERT_EQ(::chmod(QFile::encodeName(run.path()).constData(), 0700), 0);
    EXPECT_EQ(startup::SingleInstance::defaultFolders().value(0), run.path());
    ASSERT_EQ(::chmod(QFile::encodeName(run.path()).constData(), 0777), 0);
    EXPECT_EQ(startup::SingleInstance::defaultFolders().value(0), home.filePath("vorlin")) << "a shared runtime folder";
    qunsetenv("XDG_RUNTIME_DIR");
    {
        startup::SingleInstance instance;
        EXPECT_EQ(instance.folder(), home.filePath("vorlin"));
    }
    EXPECT_EQ(modeOf(home.filePath("vorlin")), 0700u);
    runtime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtime);
    cache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", cache);
}

// A closed pipe never ends the game; SIGUSR2 and SIGALRM end it as SIGTERM does, through the
// handler that saves.
TEST(Signals, APipeEndsNothingAndStraySignalsEndAsTermDoes)
{
    startup::ignoreSignals(startup::kIgnoredSignals);
    std::vector<int> got;
    {
        startup::SignalNotifier notifier(startup::kEndingSignals, [&got](int sig) { got.push_back(sig); });
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        ::close(fds[0]);
        EXPECT_EQ(::write(fds[1], "x", 1), -1);
        ::close(fds[1]);
        ::raise(SIGUSR2);
        ::raise(SIGALRM);
        ::raise(SIGTERM);
        notifier.drain();
    }
    EXPECT_EQ(got, (std::vector<int>{SIGUSR2, SIGALRM, SIGTERM}));
}
