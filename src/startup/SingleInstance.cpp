// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace startup {

namespace {

constexpr char kLockName[] = "vorlin.lock";
constexpr char kSocketName[] = "vorlin.sock";
// A token is a short printable string; anything longer is not one.
constexpr qsizetype kMaxRequest = 4096;
// How long the running copy keeps a connection that has not sent its request.
constexpr int kReadMs = 2000;
// What the running copy answers when it takes a show request.
constexpr char kTaken = '1';

using Clock = std::chrono::steady_clock;

QByteArray local(const QString& path) { return QFile::encodeName(path); }

int msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

void say(const char* what, const QString& path)
{
    std::fprintf(stderr, "vorlin: %s %s: the game does not start\n", what, local(path).constData());
}

// Every folder from the lock's up to the root is this user's or root's, and no other user may
// put a name in it or take one out (a shared one is sticky): no one else can put a lock or a
// socket in the game's place.
bool onlyThisUserDecides(const QString& folder)
{
    for (QString path = folder;; path = QFileInfo(path).path()) {
        struct stat st {};
        if (::lstat(local(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
            (st.st_uid != ::geteuid() && st.st_uid != 0))
            return false;
        const bool othersWrite = (st.st_mode & S_IWOTH) || ((st.st_mode & S_IWGRP) && st.st_gid != ::getegid());
        if (othersWrite && !(st.st_mode & S_ISVTX))
            return false;
        if (path == QLatin1String("/"))
            return true;
    }
}

// The lock's folder, made when missing and closed to others; empty when it cannot be one that
// only this user decides.
QString prepareFolder(const QString& home)
{
    if (!QDir::isAbsolutePath(home))
        return {};
    const QString wanted = QDir(home).filePath(QStringLiteral(".local/state/vorlin"));
    QDir().mkpath(wanted);
    // Through any link on the way (a ~/.local kept elsewhere), to the folder itself.
    const QString folder = QFileInfo(wanted).canonicalFilePath();
    if (folder.isEmpty() || ::chmod(local(folder).constData(), 0700) != 0)
        return {};
    return onlyThisUserDecides(folder) ? folder : QString();
}

enum class Answer { Taken, Refused };

// Hands the show request to the copy listening at the socket. Refused when none listens, or
// when it closes the connection unanswered (it is on its way out). A copy that does not answer
// before the deadline is busy but alive, with the request waiting in its socket: taken. A
// plain socket: Qt's needs an event loop, and a later copy makes none.
Answer askToShow(const QString& socket, const QByteArray& token, Clock::time_point deadline)
{
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    const QByteArray path = local(socket);
    if (path.size() >= qsizetype(sizeof addr.sun_path))
        return Answer::Refused;
    std::memcpy(addr.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const QByteArray request = token.left(kMaxRequest - 1).replace('\n', ' ') + '\n';
    Answer answer = Answer::Refused;
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0 &&
        ::send(s, request.constData(), static_cast<std::size_t>(request.size()), MSG_NOSIGNAL) == request.size()) {
        pollfd p{s, POLLIN, 0};
        const int ready = ::poll(&p, 1, msLeft(deadline));
        char c = 0;
        if (ready == 0 || (ready > 0 && ::recv(s, &c, 1, 0) == 1 && c == kTaken))
            answer = Answer::Taken;
    }
    if (s >= 0)
        ::close(s);
    return answer;
}

} // namespace

QString SingleInstance::homeFolder()
{
    const QByteArray home = qgetenv("HOME");
    if (!home.isEmpty())
        return QFile::decodeName(home);
    const passwd* pw = ::getpwuid(::geteuid());
    return pw && pw->pw_dir ? QFile::decodeName(pw->pw_dir) : QString();
}

QByteArray SingleInstance::launcherToken()
{
    return qgetenv("XDG_ACTIVATION_TOKEN");
}

SingleInstance::SingleInstance(const QString& home, const QByteArray& token)
{
    const QString where = home.isEmpty() ? homeFolder() : home;
    folder_ = prepareFolder(where);
    if (folder_.isEmpty()) {
        say("no folder for the lock that only this user can write to in", where);
        return;
    }
    lock_ = std::make_unique<QLockFile>(QDir(folder_).filePath(QLatin1String(kLockName)));
    // A live copy's lock is never taken over, however old it is.
    lock_->setStaleLockTime(0);
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWaitMs);
    const QString socket = QDir(folder_).filePath(QLatin1String(kSocketName));
    while (!lock_->tryLock(0)) {
        if (lock_->error() != QLockFile::LockFailedError) {
            say("cannot make the lock", lock_->fileName());
            return;
        }
        if (askToShow(socket, token, deadline) == Answer::Taken) {
            state_ = State::OtherCopy;
            return;
        }
        if (msLeft(deadline) == 0) {
            // A live process holds the lock and neither answers nor lets go: a copy that
            // hangs, or something that is not the game. The lock file names it.
            say("no copy answers, though one holds", lock_->fileName());
            state_ = State::OtherCopy;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    state_ = State::Held;
}

void SingleInstance::acceptShowRequests(std::function<bool(const QByteArray&)> onShow)
{
    onShow_ = std::move(onShow);
    if (!held() || server_)
        return;
    const QString path = QDir(folder_).filePath(QLatin1String(kSocketName));
    // The lock is ours, so is the socket's name: whatever is there is left over. A socket or
    // a file goes; anything else (a folder) is moved aside, so coming forward keeps working.
    if (::unlink(local(path).constData()) != 0 && errno != ENOENT)
        ::rename(local(path).constData(), local(path + QStringLiteral(".moved-%1").arg(::getpid())).constData());
    server_ = std::make_unique<QLocalServer>();
    // Each connection is read as its bytes come, never waited for: a silent or slow client
    // costs the game nothing, and is dropped after a while.
    QObject::connect(server_.get(), &QLocalServer::newConnection, [this] {
        while (QLocalSocket* c = server_->nextPendingConnection()) {
            QObject::connect(c, &QLocalSocket::readyRead, c, [this, c] { readRequest(c); });
            QObject::connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
            QTimer::singleShot(kReadMs, c, [c] { c->abort(); });
        }
    });
    if (!server_->listen(path))
        server_.reset();
}

void SingleInstance::readRequest(QLocalSocket* c)
{
    if (!c->canReadLine()) {
        if (c->bytesAvailable() >= kMaxRequest)
            c->abort();
        return;
    }
    QByteArray token = c->readLine(kMaxRequest);
    token.chop(1);
    const bool taken = onShow_ && onShow_(token);
    if (taken) {
        c->write(&kTaken, 1);
        c->flush();
    }
    c->disconnectFromServer();
    if (!taken)
        stopAcceptingShowRequests();
}

void SingleInstance::stopAcceptingShowRequests()
{
    if (!server_)
        return;
    // Requests not answered yet are refused with their connections: their copies wait for the
    // lock. Closing the server removes the socket's name.
    for (QLocalSocket* c : server_->findChildren<QLocalSocket*>())
        c->abort();
    server_->close();
}

SingleInstance::~SingleInstance()
{
    stopAcceptingShowRequests();
}

} // namespace startup
