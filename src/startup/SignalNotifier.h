// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace startup {

// Turns the given signals into calls on the event loop: the handler only writes the signal's
// number into a pipe, and onSignal runs later, from the loop, where anything may be done.
// One at a time; the signals get their default action back when it is destroyed.
class SignalNotifier : public QObject {
public:
    SignalNotifier(std::initializer_list<int> which, std::function<void(int)> onSignal, QObject* parent = nullptr);
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
void ignoreSignals(std::initializer_list<int> which);

} // namespace startup
