// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/SignalNotifier.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace startup {

namespace {

int pipeFds[2] = {-1, -1};

extern "C" void onSignalRaised(int sig)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(sig);
    // A full pipe already holds a wake-up; dropping this one loses nothing.
    const ssize_t n = ::write(pipeFds[1], &byte, 1);
    (void)n;
    errno = saved;
}

} // namespace

SignalNotifier::SignalNotifier(std::span<const int> which, std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), signals_(which.begin(), which.end()), onSignal_(std::move(onSignal))
{
    if (pipeFds[0] >= 0 || ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalNotifier::drain);
    struct sigaction sa {};
    sa.sa_handler = onSignalRaised;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : signals_)
        ::sigaction(sig, &sa, nullptr);
}

SignalNotifier::~SignalNotifier()
{
    if (!notifier_)
        return;
    for (int sig : signals_)
        std::signal(sig, SIG_DFL);
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void SignalNotifier::drain()
{
    unsigned char buf[64];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buf, sizeof buf)) > 0)
        for (ssize_t i = 0; i < n; ++i)
            if (onSignal_)
                onSignal_(buf[i]);
}

void ignoreSignals(std::span<const int> which)
{
    for (const int s : which)
        std::signal(s, SIG_IGN);
}

} // namespace startup
