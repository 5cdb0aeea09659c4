// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <csignal>
#include <sys/types.h>

namespace startup {

// Held for as long as the program runs, in a folder only this user can write, so no other
// user can lock the player out. A lock whose holder is gone, or is not a running copy of the
// game of this user, is taken over; one that cannot be made at all leaves the game unguarded
// rather than stopped.
class SingleInstance {
public:
    // The signal a later copy sends the running one to bring it to the front. The program
    // ignores it from its first line, so that it never ends a copy that is still starting.
    static constexpr int kShowSignal = SIGUSR1;

    // folder: where the lock lives; empty for defaultFolder().
    explicit SingleInstance(const QString& folder = QString());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // A running copy holds the lock: this one must end.
    bool otherCopyRunning() const { return state_ == State::OtherCopy; }
    // This copy holds the lock (false when it runs unguarded).
    bool guarded() const { return state_ == State::Held; }

    // From the second copy: asks the running one to come to the front (kShowSignal, which
    // the running copy turns into a call on its event loop). True once the request is sent.
    bool askToShow() const;

    // $XDG_RUNTIME_DIR when it is private to this user, otherwise a private folder under the
    // user's cache or data folder; empty when there is none.
    static QString defaultFolder();

private:
    enum class State { Held, OtherCopy, Unguarded };
    QString folder_;
    int fd_ = -1;
    State state_ = State::Unguarded;
    pid_t holder_ = 0;
};

} // namespace startup
