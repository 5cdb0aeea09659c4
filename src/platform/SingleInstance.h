#pragma once

#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace platform {

// Held for as long as the program runs, in a folder only this user can write, so no other
// user can lock the player out. A lock whose holder is gone, or is not a running copy of the
// game of this user, is taken over; one that cannot be made at all leaves the game unguarded
// rather than stopped.
class SingleInstance {
public:
    // folder: where the lock and the wake-up channel live; empty for defaultFolder().
    explicit SingleInstance(const QString& folder = QString());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // A running copy holds the lock: this one must end.
    bool otherCopyRunning() const { return state_ == State::OtherCopy; }
    // This copy holds the lock (false when it runs unguarded).
    bool guarded() const { return state_ == State::Held; }

    // From the second copy: asks the running one to come to the front. True once the request
    // is on its way.
    bool askToShow() const;
    // From the copy that holds the lock: show runs, on the event loop, each time a later
    // copy asks. Needs the application object.
    void listen(std::function<void()> show);

    // $XDG_RUNTIME_DIR when it is private to this user, otherwise a private folder under the
    // user's cache or data folder; empty when there is none.
    static QString defaultFolder();

private:
    enum class State { Held, OtherCopy, Unguarded };
    QString folder_;
    int fd_ = -1;
    State state_ = State::Unguarded;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace platform
