#pragma once

#include <atomic>
#include <csignal>
#include <stop_token>
#include <thread>

namespace cli {

// While it lives, Ctrl+C, Ctrl+\, a hang-up or kill (SIGINT, SIGQUIT, SIGHUP, SIGTERM) no longer
// end the program at once: the first one requests a stop of token(), so that the work in hand
// ends and cleans up (an output file half-written is removed). Once destroyed, it ends the
// program with that signal, as the signal would have. A signal the program was started to ignore
// stays ignored. Inactive, it changes nothing.
class SignalStop {
public:
    explicit SignalStop(bool active);
    ~SignalStop();
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

    std::stop_token token() const { return source_.get_token(); }

private:
    void watch();

    bool active_;
    sigset_t watched_{};
    sigset_t previous_{};
    std::stop_source source_;
    int signals_ = -1;  // a signalfd of the watched signals
    int finished_ = -1; // an eventfd: the watcher's work is over
    std::atomic<int> received_{0};
    std::thread watcher_;
};

} // namespace cli
