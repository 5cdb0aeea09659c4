// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/SignalNotifier.h"
#include "startup/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString lockFolder(const QString& home) { return home + "/.local/state/vorlin"; }

// Sets environment variables for the length of a test; a null value unsets one.
class Environment {
public:
    explicit Environment(const std::map<QByteArray, QByteArray>& values)
    {
        for (const auto& [name, value] : values) {
            saved_[name] = qgetenv(name.constData());
            set(name, value);
        }
    }
    ~Environment()
    {
        for (const auto& [name, value] : saved_)
            set(name, value);
    }
    static void set(const QByteArray& name, const QByteArray& value)
    {
        value.isNull() ? qunsetenv(name.constData()) : qputenv(name.constData(), value);
    }

private:
    std::map<QByteArray, QByteArray> saved_;
};

// A running copy of the game in a process of its own: this test program, which runs the
// same code, started on the holder below with the given home and environment. It says
// "held" once it holds the lock, then each token it is handed, and ends when its input closes.
class Copy {
public:
    Copy(const QString& home, const QByteArray& mode = "", const std::map<QString, QString>& env = {})
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("HOME", home);
        e.insert("VORLIN_TEST_HOLD", QString::fromLatin1(mode.isEmpty() ? "run" : mode));
        for (const auto& [name, value] : env)
            value.isNull() ? e.remove(name) : e.insert(name, value);
        p.setProcessEnvironment(e);
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

// A client of the running copy's socket, connected and silent until told to say something.
int connectTo(const QString& socket)
{
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socket);
    std::memcpy(addr.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(::connect(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    return s;
}

} // namespace

// Not a test of its own (CTest does not list it): the running copy that Copy starts.
TEST(SingleInstanceHolder, Hold)
{
    const QByteArray mode = qgetenv("VORLIN_TEST_HOLD");
    if (mode.isEmpty()) {
        GTEST_SKIP();
    }
    startup::SingleInstance instance;
    ASSERT_TRUE(instance.held());
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
        QCoreApplication::processEvents();
}

// A later copy hands its token to the live one and ends, though a folder was left where the
// socket goes. A copy that crashed leaves its lock file behind: it stops no one.
TEST(SingleInstance, ALiveCopyGetsTheTokenAndACrashedOneStopsNoOne)
{
    QTemporaryDir home;
    ASSERT_TRUE(QDir().mkpath(lockFolder(home.path()) + "/vorlin.sock"));
    {
        Copy running(home.path());
        startup::SingleInstance later(home.path(), "launcher-token-1");
        EXPECT_TRUE(later.otherCopyRunning());
        EXPECT_FALSE(later.held());
        EXPECT_EQ(running.nextLine(), "token:launcher-token-1");
        running.p.kill();
        running.p.waitForFinished();
    }
    ASSERT_TRUE(QFileInfo::exists(lockFolder(home.path()) + "/vorlin.lock"));
    startup::SingleInstance next(home.path());
    EXPECT_TRUE(next.held());
}

// Every start of a user finds the one lock of the home, whatever its environment: with
// XDG_RUNTIME_DIR and TMPDIR private, unset, or a folder shared with everyone. Another
// process that holds a lock on any folder on the way changes nothing.
TEST(SingleInstance, StartsOfOneHomeMeetWhateverTheirEnvironment)
{
    QTemporaryDir home, run, other, shared;
    ASSERT_EQ(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    Copy running(home.path(), "", {{"XDG_RUNTIME_DIR", run.path()}, {"TMPDIR", run.path()}});
    const QByteArray unset;
    int n = 0;
    for (const QByteArray& folder : {QFile::encodeName(other.path()), unset, QFile::encodeName(shared.path())}) {
        Environment env({{"HOME", QFile::encodeName(home.path())}, {"XDG_RUNTIME_DIR", folder}, {"TMPDIR", folder}});
        const QByteArray token = "token-" + QByteArray::number(++n);
        startup::SingleInstance later(QString(), token);
        EXPECT_TRUE(later.otherCopyRunning()) << n;
        EXPECT_EQ(running.nextLine(), "token:" + token);
    }

    std::vector<std::unique_ptr<QProcess>> holders;
    for (const QString& folder : {home.path(), home.path() + "/.local", home.path() + "/.local/state",
                                  lockFolder(home.path())}) {
        holders.push_back(std::make_unique<QProcess>());
        holders.back()->start("flock", {"-n", folder, "sleep", "30"});
        ASSERT_TRUE(holders.back()->waitForStarted());
    }
    startup::SingleInstance later(home.path(), "token-held");
    EXPECT_TRUE(later.otherCopyRunning());
    EXPECT_EQ(running.nextLine(), "token:token-held");
    for (auto& holder : holders) {
        EXPECT_EQ(holder->state(), QProcess::Running) << "a folder's lock was not held";
        holder->kill();
        holder->waitForFinished();
    }

    Environment noHome({{"HOME", QByteArray()}});
    EXPECT_EQ(startup::SingleInstance::homeFolder(), QFile::decodeName(::getpwuid(::geteuid())->pw_dir));
}

// A copy on its way out still holds the lock but takes no request: a later copy waits for
// the lock and runs, rather than end and leave no game.
TEST(SingleInstance, ACopyOnItsWayOutLeavesTheGameToTheNext)
{
    QTemporaryDir home;
    Copy closing(home.path(), "closing");
    startup::SingleInstance later(home.path());
    EXPECT_TRUE(later.held());
}

// Silent clients hold nothing up: with twenty connected that say nothing, the request of a
// later copy is answered at once.
TEST(SingleInstance, SilentClientsCostTheGameNothing)
{
    QTemporaryDir home;
    startup::SingleInstance instance(home.path());
    ASSERT_TRUE(instance.held());
    QByteArray got;
    instance.acceptShowRequests([&got](const QByteArray& token) {
        got = token;
        return true;
    });
    const QString socket = lockFolder(home.path()) + "/vorlin.sock";
    std::vector<int> silent;
    for (int i = 0; i < 20; ++i)
        silent.push_back(connectTo(socket));
    const int later = connectTo(socket);
    ASSERT_EQ(::send(later, "tok\n", 4, 0), 4);
    QElapsedTimer clock;
    clock.start();
    while (got.isEmpty() && clock.elapsed() < 5000)
        QCoreApplication::processEvents();
    const qint64 ms = clock.elapsed();
    EXPECT_EQ(got, "tok");
    EXPECT_LT(ms, 50);
    pollfd p{later, POLLIN, 0};
    char answer = 0;
    EXPECT_TRUE(::poll(&p, 1, 1000) == 1 && ::recv(later, &answer, 1, 0) == 1 && answer == '1');
    for (int s : silent)
        ::close(s);
    ::close(later);
}

// A lock that cannot be judged, because other users could write on the way to it or there is
// no folder for it, stops the start, with a word on standard error.
TEST(SingleInstance, ALockThatCannotBeJudgedStopsTheStartWithAWord)
{
    QTemporaryDir dir;
    const QString shared = dir.filePath("shared"), file = dir.filePath("file");
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0777), 0);
    QFile(file).open(QIODevice::WriteOnly);
    for (const QString& home : {shared, file}) {
        testing::internal::CaptureStderr();
        startup::SingleInstance instance(home);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(instance.held()) << qPrintable(home);
        EXPECT_FALSE(instance.otherCopyRunning()) << qPrintable(home);
        EXPECT_NE(said.find("the game does not start"), std::string::npos) << said;
    }
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
