// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace startup {

namespace {

constexpr char kLockName[] = "vorlin.lock";
constexpr char kSocketName[] = "vorlin.sock";
// A token is a short printable string; anything longer is not one.
constexpr qsizetype kMaxRequest = 4096;
// What the running copy answers when it takes a show request.
constexpr char kTaken = '1';

using Clock = std::chrono::steady_clock;

QByteArray local(const QString& path) { return QFile::encodeName(path); }

int msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

void pause() { std::this_thread::sleep_for(std::chrono::milliseconds(2)); }

// A folder of this user's that no one else may write to.
bool isPrivateFolder(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && QDir::isAbsolutePath(path) && ::lstat(local(path).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Makes the folder when it is missing and closes a folder of ours to others.
bool preparePrivateFolder(const QString& folder)
{
    if (isPrivateFolder(folder))
        return true;
    const QByteArray path = local(folder);
    QDir().mkpath(QFileInfo(folder).absolutePath());
    ::mkdir(path.constData(), 0700);
    struct stat st {};
    if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid())
        ::chmod(path.constData(), 0700);
    return isPrivateFolder(folder);
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The lock file under its name still is the one open as fd.
bool nameIsFile(int dirFd, int fd)
{
    struct stat named {}, open {};
    return ::fstatat(dirFd, kLockName, &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &open) == 0 &&
           sameFile(named, open);
}

// Every change of the lock's name, and every check that a lock just taken is still the one
// under the name, happens under this lock on the folder: a copy that clears a name it judged
// cannot clear one that another copy has just taken meanwhile.
class FolderLock {
public:
    FolderLock(int dirFd, Clock::time_point deadline) : fd_(dirFd)
    {
        while (!(held_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0) && errno == EWOULDBLOCK && msLeft(deadline) > 0)
            pause();
    }
    ~FolderLock()
    {
        if (held_)
            ::flock(fd_, LOCK_UN);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool held() const { return held_; }

private:
    int fd_;
    bool held_ = false;
};

// The process that holds the flock on fd's file, from the kernel's table; 0 when none is
// seen (the lock was just let go, or the table cannot be read).
pid_t lockHolder(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return 0;
    char want[64];
    std::snprintf(want, sizeof want, "%02x:%02x:%llu", major(st.st_dev), minor(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return 0;
    // "1: FLOCK  ADVISORY  WRITE 21465 fe:00:10954284 0 EOF"; waiters have "->" after the number.
    // Read whole: the kernel's table says it is empty until read.
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() >= 6 && f[1] == "FLOCK" && f[5] == want)
            return static_cast<pid_t>(f[4].toLong());
    }
    return 0;
}

// A process that runs this very program, whatever it was called.
bool runsThisProgram(pid_t pid)
{
    struct stat theirs {}, ours {};
    const QByteArray exe = "/proc/" + QByteArray::number(pid) + "/exe";
    return pid > 0 && ::stat(exe.constData(), &theirs) == 0 && ::stat("/proc/self/exe", &ours) == 0 &&
           sameFile(theirs, ours);
}

// The socket's address; through /proc when the folder's path is too long for one.
bool socketAddress(const QString& folder, int dirFd, sockaddr_un& addr)
{
    addr = {};
    addr.sun_family = AF_UNIX;
    QByteArray path = local(QDir(folder).filePath(QString::fromLatin1(kSocketName)));
    if (path.size() >= qsizetype(sizeof addr.sun_path))
        path = "/proc/self/fd/" + QByteArray::number(dirFd) + '/' + kSocketName;
    if (path.size() >= qsizetype(sizeof addr.sun_path))
        return false;
    std::memcpy(addr.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
}

enum class Answer { Taken, Refused };

// Hands the show request to the copy listening in the folder. Refused when none listens, or
// when it closes the connection unanswered (it is on its way out). A copy that does not answer
// before the deadline is busy but alive, with the request waiting in its socket: taken.
Answer askToShow(const QString& folder, int dirFd, const QByteArray& token, Clock::time_point deadline)
{
    sockaddr_un addr;
    if (!socketAddress(folder, dirFd, addr))
        return Answer::Refused;
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return Answer::Refused;
    Answer answer = Answer::Refused;
    QByteArray request = token.left(kMaxRequest - 1);
    request.replace('\n', ' ');
    request += '\n';
    if (::connect(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0 &&
        ::send(s, request.constData(), static_cast<std::size_t>(request.size()), MSG_NOSIGNAL) == request.size()) {
        pollfd p{s, POLLIN, 0};
        const int ready = ::poll(&p, 1, msLeft(deadline));
        char c = 0;
        if (ready == 0 || (ready > 0 && ::recv(s, &c, 1, 0) == 1 && c == kTaken))
            answer = Answer::Taken;
    }
    ::close(s);
    return answer;
}

} // namespace

QStringList SingleInstance::defaultFolders()
{
    QStringList folders;
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (isPrivateFolder(runtime))
        folders << runtime;
    for (auto kind : {QStandardPaths::GenericCacheLocation, QStandardPaths::GenericDataLocation}) {
        const QString base = QStandardPaths::writableLocation(kind);
        if (!base.isEmpty() && QDir::isAbsolutePath(base))
            folders << QDir(base).filePath(QStringLiteral("vorlin"));
    }
    return folders;
}

QByteArray SingleInstance::launcherToken()
{
    return qgetenv("XDG_ACTIVATION_TOKEN");
}

SingleInstance::SingleInstance(const QString& folder, const QByteArray& token)
    : SingleInstance(folder.isEmpty() ? defaultFolders() : QStringList{folder}, token)
{
}

SingleInstance::SingleInstance(const QStringList& folders, const QByteArray& token)
{
    for (const QString& folder : folders) {
        if (!preparePrivateFolder(folder))
            continue;
        const Outcome outcome = tryFolder(folder, token);
        if (outcome == Outcome::NextFolder)
            continue;
        state_ = outcome == Outcome::Held ? State::Held : State::OtherCopy;
        folder_ = folder;
        return;
    }
}

SingleInstance::Outcome SingleInstance::tryFolder(const QString& folder, const QByteArray& token)
{
    const int dirFd = ::open(local(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return Outcome::NextFolder;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWaitMs);
    Outcome outcome = Outcome::NextFolder;
    while (true) {
        int fd = -1;
        {
            FolderLock guard(dirFd, deadline);
            if (!guard.held())
                break;
            // The game only ever makes a plain file of its user's here: anything else under
            // the name was planted or left, and no copy can hold it.
            struct stat st {};
            if (::fstatat(dirFd, kLockName, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                (!S_ISREG(st.st_mode) || st.st_uid != ::getuid()))
                ::unlinkat(dirFd, kLockName, S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0);
            fd = ::openat(dirFd, kLockName, O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
            if (fd < 0 && errno == EACCES && ::unlinkat(dirFd, kLockName, 0) == 0)
                continue; // a file of ours that we may not open: no copy opened it either
            // Read-only, full, or the name cannot be cleared: the next folder may do.
            if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid())) {
                ::close(fd);
                fd = -1;
            }
            if (fd < 0)
                break;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            bool current = false;
            {
                FolderLock guard(dirFd, deadline);
                current = guard.held() && nameIsFile(dirFd, fd);
            }
            if (current) {
                fd_ = fd;
                folder_ = folder;
                // Only for people who look; nothing reads it. A full disk leaves it empty.
                const QByteArray pid = QByteArray::number(::getpid()) + '\n';
                const bool written =
                    ::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.constData(), pid.size(), 0) == pid.size();
                Q_UNUSED(written);
                outcome = Outcome::Held;
                break;
            }
            ::close(fd); // cleared meanwhile by a copy that judged it left over
            continue;
        }
        if (errno != EWOULDBLOCK) {
            ::close(fd);
            break;
        }
        if (askToShow(folder, dirFd, token, deadline) == Answer::Taken) {
            ::close(fd);
            outcome = Outcome::OtherCopy;
            break;
        }
        // No answer: the holder is starting, on its way out, or not the game at all.
        const pid_t holder = lockHolder(fd);
        if (holder > 0 && !runsThisProgram(holder)) {
            // A process that is not the game keeps the lock (one that inherited it): a new
            // lock under the name, unless the holder changed since it was judged.
            FolderLock guard(dirFd, deadline);
            if (guard.held() && nameIsFile(dirFd, fd) && lockHolder(fd) == holder)
                ::unlinkat(dirFd, kLockName, 0);
        }
        ::close(fd);
        if (msLeft(deadline) == 0) {
            // A copy that neither answers nor lets go in all that time: better no second one.
            outcome = Outcome::OtherCopy;
            break;
        }
        pause();
    }
    ::close(dirFd);
    return outcome;
}

bool SingleInstance::listen()
{
    const int dirFd = ::open(local(folder_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return false;
    sockaddr_un addr;
    // The lock is ours, so is the socket's name: whatever holds it is left over.
    ::unlinkat(dirFd, kSocketName, 0);
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const bool ok = s >= 0 && socketAddress(folder_, dirFd, addr) &&
                    ::bind(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0 &&
                    ::listen(s, SOMAXCONN) == 0;
    ::close(dirFd);
    if (!ok) {
        if (s >= 0)
            ::close(s);
        return false;
    }
    listener_ = s;
    return true;
}

void SingleInstance::acceptShowRequests(std::function<bool(const QByteArray&)> onShow)
{
    onShow_ = std::move(onShow);
    if (fd_ < 0 || (listener_ < 0 && !listen()) || !QCoreApplication::instance())
        return;
    notifier_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { answerShowRequests(); });
}

void SingleInstance::answerShowRequests()
{
    while (listener_ >= 0) {
        const int c = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0)
            return;
        // The request was sent with the connection; a copy that sends nothing within a moment
        // is not waited for.
        QByteArray request;
        char buf[512];
        pollfd p{c, POLLIN, 0};
        while (!request.contains('\n') && request.size() < kMaxRequest && ::poll(&p, 1, 200) > 0) {
            const ssize_t n = ::recv(c, buf, sizeof buf, MSG_DONTWAIT);
            if (n <= 0)
                break;
            request.append(buf, n);
        }
        const bool taken = request.contains('\n') && onShow_ && onShow_(request.left(request.indexOf('\n')));
        if (taken)
            ::send(c, &kTaken, 1, MSG_NOSIGNAL);
        ::close(c);
        if (!taken && request.contains('\n'))
            stopAcceptingShowRequests();
    }
}

void SingleInstance::stopAcceptingShowRequests()
{
    if (listener_ < 0)
        return;
    // Possibly from the notifier's own call: it goes once that has returned.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    // Unaccepted connections are reset with the socket: their copies wait for the lock.
    ::close(listener_);
    listener_ = -1;
    const QByteArray path = local(QDir(folder_).filePath(QString::fromLatin1(kSocketName)));
    ::unlink(path.constData());
}

SingleInstance::~SingleInstance()
{
    stopAcceptingShowRequests();
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace startup
