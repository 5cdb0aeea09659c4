// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace startup {

// One copy of the game per home. The copy that runs holds a QLockFile, "vorlin.lock", in
// ~/.local/state/vorlin: found from the home folder, so every start of the user meets it
// whatever its environment, in a folder that no other user can write to. A held lock means a
// copy runs: Qt takes over only a lock whose process is gone (or a lock from before the
// machine restarted), never a live one for its age. While its window is open the running copy
// listens on "vorlin.sock" beside the lock; a later copy hands over its activation token there
// and ends once the running copy has taken it. The record does not depend on any of this: the
// save keeps a better top score written meanwhile.
class SingleInstance {
public:
    // home: whose lock decides; empty for this user's (homeFolder()). token: what a later copy
    // hands to the running one with its show request.
    explicit SingleInstance(const QString& home = QString(), const QByteArray& token = QByteArray());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // $HOME, else the home of this user in the password database.
    static QString homeFolder();
    // The activation token this copy's launcher gave it (XDG_ACTIVATION_TOKEN), if any.
    static QByteArray launcherToken();

    // This copy holds the lock: it runs. Otherwise it must end, before it shows or writes
    // anything: a running copy took its show request, or the lock could not be judged (said
    // on standard error).
    bool held() const { return state_ == State::Held; }
    bool otherCopyRunning() const { return state_ == State::OtherCopy; }

    // From the running copy, once it is ready to show itself: from here on onShow gets each
    // later copy's token, from the event loop, and says whether the request is taken (false:
    // this copy is on its way out; the later copy then waits for the lock and runs itself).
    // Until then later copies wait. Needs a Qt event loop.
    void acceptShowRequests(std::function<bool(const QByteArray& token)> onShow);
    // From here on no request is taken: waiting and later ones are refused, so their copies
    // wait for the lock. Called as soon as the game begins to close.
    void stopAcceptingShowRequests();

    // How long a later copy waits for a copy on its way out to let the lock go, or for one
    // that has just taken it to listen.
    static constexpr int kWaitMs = 5000;

private:
    enum class State { Held, OtherCopy, Unjudged };
    void readRequest(QLocalSocket* connection);

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    std::function<bool(const QByteArray&)> onShow_;
    State state_ = State::Unjudged;
};

} // namespace startup
