#include "cli/SignalStop.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdint>

namespace cli {

SignalStop::SignalStop(bool active) : active_(active) {
    if (!active_)
        return;
    sigemptyset(&watched_);
    for (const int signal : {SIGINT, SIGQUIT, SIGHUP, SIGTERM}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            sigaddset(&watched_, signal);
    }
    // Blocked here before any worker thread starts, so every thread inherits the mask and the
    // signals wait for the watcher.
    pthread_sigmask(SIG_BLOCK, &watched_, &previous_);
    signals_ = signalfd(-1, &watched_, SFD_CLOEXEC);
    finished_ = eventfd(0, EFD_CLOEXEC);
    watcher_ = std::thread([this] { watch(); });
}

void SignalStop::watch() {
    pollfd ready[2] = {{signals_, POLLIN, 0}, {finished_, POLLIN, 0}};
    while (poll(ready, 2, -1) < 0) {
    }
    signalfd_siginfo info{};
    if ((ready[0].revents & POLLIN) != 0 && read(signals_, &info, sizeof info) == sizeof info) {
        received_ = static_cast<int>(info.ssi_signo);
        source_.request_stop();
    }
}

SignalStop::~SignalStop() {
    if (!active_)
        return;
    // Wakes the watcher at once: the program ends as soon as its work is done.
    const std::uint64_t one = 1;
    // An eventfd takes a write of one unless its counter is near overflow, which it never is.
    [[maybe_unused]] const ssize_t written = write(finished_, &one, sizeof one);
    watcher_.join();
    close(signals_);
    close(finished_);
    const int signal = received_;
    if (signal != 0) {
        std::signal(signal, SIG_DFL);
        pthread_sigmask(SIG_UNBLOCK, &watched_, nullptr);
        std::raise(signal);
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

} // namespace cli
