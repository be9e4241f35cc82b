#include "cli/SignalStop.h"

#include <pthread.h>

#include <ctime>

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
    // Blocked here before any worker thread starts, so every thread inherits the mask and only
    // the watcher takes these signals.
    pthread_sigmask(SIG_BLOCK, &watched_, &previous_);
    watcher_ = std::thread([this] { watch(); });
}

void SignalStop::watch() {
    const timespec poll{0, 100'000'000};
    while (!done_) {
        const int signal = sigtimedwait(&watched_, nullptr, &poll);
        if (signal > 0) {
            received_ = signal;
            source_.request_stop();
            return;
        }
    }
}

SignalStop::~SignalStop() {
    if (!active_)
        return;
    done_ = true;
    watcher_.join();
    const int signal = received_;
    if (signal != 0) {
        std::signal(signal, SIG_DFL);
        pthread_sigmask(SIG_UNBLOCK, &watched_, nullptr);
        std::raise(signal);
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

} // namespace cli
