// SPDX-License-Identifier: GPL-3.0-or-later
// A private Xvfb for the benchmarks that time what the screen shows, with the helpers they
// share: start a program on it, wait for its window to be mapped, stop it.
#pragma once

#include <xcb/xcb.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace benchx {

inline double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p / 100.0 * static_cast<double>(v.size())))];
}

// Starts argv in `dir` with `env` added to the environment; the child's output goes to
// /dev/null.
inline pid_t spawn(const std::vector<std::string>& argv, const std::string& dir,
                   const std::vector<std::string>& env)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    if (!dir.empty() && chdir(dir.c_str()) != 0)
        _exit(127);
    for (const std::string& e : env)
        putenv(const_cast<char*>(e.c_str()));
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 1);
    dup2(null, 2);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

inline void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

class Xvfb {
public:
    // On the first free display from :65 up.
    Xvfb()
    {
        for (int n = 65; n < 90 && !ok_; ++n) {
            if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0)
                continue;
            display_ = ":" + std::to_string(n);
            pid_ = spawn({"Xvfb", display_, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, "", {});
            for (int i = 0; i < 100 && !ok_; ++i) {
                usleep(30000);
                if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                    pid_ = -1;
                    break; // taken after all
                }
                conn_ = xcb_connect(display_.c_str(), nullptr);
                if (!xcb_connection_has_error(conn_))
                    ok_ = true;
                else {
                    xcb_disconnect(conn_);
                    conn_ = nullptr;
                }
            }
            if (!ok_ && pid_ > 0) {
                stop(pid_);
                pid_ = -1;
            }
        }
        if (!ok_)
            return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(conn_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(conn_);
    }
    // A display already running, for timing one start from outside.
    explicit Xvfb(const std::string& display) : display_(display)
    {
        conn_ = xcb_connect(display_.c_str(), nullptr);
        if (xcb_connection_has_error(conn_))
            return;
        ok_ = true;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(conn_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(conn_);
    }
    ~Xvfb()
    {
        if (conn_)
            xcb_disconnect(conn_);
        if (pid_ > 0)
            stop(pid_);
    }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    bool ok() const { return ok_; }
    const std::string& display() const { return display_; }

    // Drops the events that earlier programs left.
    void drain()
    {
        while (xcb_generic_event_t* e = xcb_poll_for_event(conn_))
            free(e);
    }

    // The time at which a top-level window was next mapped, or a negative number when none
    // was within `timeoutMs`.
    double waitForMap(double timeoutMs)
    {
        const double until = nowMs() + timeoutMs;
        const int fd = xcb_get_file_descriptor(conn_);
        while (nowMs() < until) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) {
                const bool mapped = (e->response_type & 0x7f) == XCB_MAP_NOTIFY
                    && !reinterpret_cast<xcb_map_notify_event_t*>(e)->override_redirect;
                free(e);
                if (mapped)
                    return nowMs();
            }
            fd_set set;
            FD_ZERO(&set);
            FD_SET(fd, &set);
            timeval tv{0, 1000};
            select(fd + 1, &set, nullptr, nullptr, &tv);
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
    std::string display_;
    xcb_connection_t* conn_ = nullptr;
    xcb_window_t root_ = 0;
    bool ok_ = false;
};

} // namespace benchx
