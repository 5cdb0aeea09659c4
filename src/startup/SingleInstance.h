// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace startup {

// One copy of the game per user. The copy that runs holds a kernel lock (flock) on
// "vorlin.lock" in a folder only this user can write, and listens on "vorlin.sock" beside it
// while it accepts show requests: from when its window shows until it begins to close. A later copy connects, hands over its activation
// token and ends once the running copy has answered. The kernel drops the lock with its
// holder, so the file's content never decides anything and the lock file of a live copy is
// never removed: only a name that no copy of the game can hold (a link, a folder, another
// user's file, a lock kept by a process that is not the game) is cleared, under a lock on the
// folder, after checking it is still the one that was judged.
class SingleInstance {
public:
    // Earlier versions brought the running copy to the front with this signal. It stays
    // ignored for the whole life of the program, so that no stray one ends a copy that is
    // starting or shutting down.
    static constexpr int kShowSignal = SIGUSR1;

    // folder: where the lock lives; empty for defaultFolders(), taken in order: a folder
    // where the lock cannot be made (read-only, full) gives way to the next. token: what a
    // later copy hands to the running one with its show request.
    explicit SingleInstance(const QString& folder = QString(), const QByteArray& token = QByteArray());
    // The activation token this copy's launcher gave it (XDG_ACTIVATION_TOKEN), if any.
    static QByteArray launcherToken();
    SingleInstance(const QStringList& folders, const QByteArray& token);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // A running copy holds the lock and took this copy's show request: this one must end.
    bool otherCopyRunning() const { return state_ == State::OtherCopy; }
    // This copy holds the lock (false when it runs unguarded).
    bool guarded() const { return state_ == State::Held; }
    // The folder of the lock this copy holds; empty when it holds none.
    QString folder() const { return guarded() ? folder_ : QString(); }

    // From the running copy, once it is ready to show itself: from here on onShow gets each
    // later copy's token, from the event loop, and says whether the request is taken (false:
    // this copy is on its way out; the later copy then waits for the lock and runs itself).
    // Until then later copies wait. Needs a Qt event loop.
    void acceptShowRequests(std::function<bool(const QByteArray& token)> onShow);
    // Answers the show requests waiting now, without an event loop (acceptShowRequests does
    // this when the socket has something to read).
    void answerShowRequests();
    // From here on no request is taken: waiting and later ones are refused, so their copies
    // wait for the lock. Called as soon as the game begins to close.
    void stopAcceptingShowRequests();

    // $XDG_RUNTIME_DIR when it is private to this user, then private folders under the user's
    // cache and data folders (made when first used).
    static QStringList defaultFolders();

    // How long a later copy waits for a copy on its way out to let the lock go, or for one
    // that has just taken it to listen.
    static constexpr int kWaitMs = 5000;

private:
    enum class State { Held, OtherCopy, Unguarded };
    enum class Outcome { Held, OtherCopy, NextFolder };
    Outcome tryFolder(const QString& folder, const QByteArray& token);
    bool listen();

    QString folder_;
    int fd_ = -1;
    int listener_ = -1;
    State state_ = State::Unguarded;
    std::function<bool(const QByteArray&)> onShow_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace startup
