// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <csignal>
#include <functional>
#include <span>
#include <vector>

class QSocketNotifier;

namespace startup {

// The signals that end the game as closing its window does, the settings saved: those a
// session, a terminal or a shell sends to end a program, and the two whose default action
// would end it unsaved when one comes by mistake.
inline constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGUSR2, SIGALRM};
// Ignored for the whole life of the program: a write to a closed pipe (standard error) or
// beyond the file-size limit fails instead of ending the game, and SIGUSR1, with which earlier
// versions brought the running copy to the front, ends no copy that is starting or closing.
inline constexpr int kIgnoredSignals[] = {SIGPIPE, SIGXFSZ, SIGUSR1};

// Turns the given signals into calls on the event loop: the handler only writes the signal's
// number into a pipe, and onSignal runs later, from the loop, where anything may be done.
// One at a time; the signals get their default action back when it is destroyed.
class SignalNotifier : public QObject {
public:
    SignalNotifier(std::span<const int> which, std::function<void(int)> onSignal, QObject* parent = nullptr);
    ~SignalNotifier() override;

    // Runs onSignal now for the signals already raised, ahead of the loop: so that what
    // comes next knows, say, that the game has been told to end.
    void drain();

private:

    std::vector<int> signals_;
    std::function<void(int)> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

// Sets the given signals to be ignored from now on (before any window or lock exists).
void ignoreSignals(std::span<const int> which);

} // namespace startup
