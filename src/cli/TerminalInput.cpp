#include "cli/TerminalInput.h"

#include <QByteArray>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace cli {

namespace {

// Turns the terminal's echo off for its lifetime (the Enter key's line break is still shown).
class HiddenTyping {
public:
    explicit HiddenTyping(int fd) : fd_(fd), active_(tcgetattr(fd, &saved_) == 0) {
        if (!active_)
            return;
        termios hidden = saved_;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        hidden.c_lflag |= ECHONL;
        active_ = tcsetattr(fd_, TCSAFLUSH, &hidden) == 0;
    }
    ~HiddenTyping() {
        if (active_)
            tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
    HiddenTyping(const HiddenTyping&) = delete;
    HiddenTyping& operator=(const HiddenTyping&) = delete;

private:
    int fd_;
    termios saved_{};
    bool active_;
};

// Whether `signal`, left to its default action, ends the program: all but those whose default is
// to be ignored, to stop or to continue, and SIGKILL, which cannot be caught.
bool EndsByDefault(int signal) {
    switch (signal) {
    case SIGCHLD:
    case SIGCONT:
    case SIGURG:
    case SIGWINCH:
    case SIGSTOP:
    case SIGTSTP:
    case SIGTTIN:
    case SIGTTOU:
    case SIGKILL:
        return false;
    default:
        return true;
    }
}

// The ending signal caught while a line is read. A handler can only hand it over through a
// variable of static storage; it is read and reset by the one reading thread.
volatile std::sig_atomic_t caughtSignal = 0;

void CatchSignal(int signal) {
    caughtSignal = signal;
}

// While a line is read, a signal that would end the program (Ctrl+C, a hang-up, kill, SIGUSR1,
// SIGALRM, ...) only ends the read, so that the terminal's mode is restored first; once the read
// is over, the signal is raised again and acts as it would have. Only signals left to their
// default action are taken: one the program ignores (nohup) or handles itself stays as it is.
// They are blocked but while waiting for input, so that none slips in between the check and the
// wait, and a fault of the program's own is never caught here.
class DeferredEndingSignals {
public:
    DeferredEndingSignals() {
        sigset_t ending;
        sigemptyset(&ending);
        caughtSignal = 0;
        struct sigaction catching {};
        catching.sa_handler = CatchSignal;
        sigfillset(&catching.sa_mask);
        for (int signal = 1; signal <= SIGRTMAX; ++signal) {
            struct sigaction current {};
            // The C library's own signals cannot be looked at, and are skipped.
            if (!EndsByDefault(signal) || sigaction(signal, nullptr, &current) != 0 ||
                current.sa_handler != SIG_DFL || sigaction(signal, &catching, nullptr) != 0)
                continue;
            sigaddset(&ending, signal);
            caught_.push_back(signal);
        }
        pthread_sigmask(SIG_BLOCK, &ending, &savedMask_);
        waitMask_ = savedMask_;
        for (const int signal : caught_)
            sigdelset(&waitMask_, signal);
    }
    ~DeferredEndingSignals() {
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        for (const int signal : caught_)
            sigaction(signal, &byDefault, nullptr);
        pthread_sigmask(SIG_SETMASK, &savedMask_, nullptr);
    }
    DeferredEndingSignals(const DeferredEndingSignals&) = delete;
    DeferredEndingSignals& operator=(const DeferredEndingSignals&) = delete;

    // Waits until `fd` has input, or an ending signal was caught (false).
    bool waitForInput(int fd) const {
        pollfd input{fd, POLLIN, 0};
        while (caughtSignal == 0) {
            // An error other than an interruption is left for read() to report.
            if (const int ready = ppoll(&input, 1, nullptr, &waitMask_);
                ready > 0 || (ready < 0 && errno != EINTR))
                return true;
        }
        return false;
    }

private:
    sigset_t savedMask_{};
    sigset_t waitMask_{};
    std::vector<int> caught_; // the signals taken over, all left to their default before
};

} // namespace

std::optional<QString> ReadTerminalLine(int fd, bool echo) {
    std::optional<QByteArray> line;
    {
        // Declared first, so the terminal's mode is restored before a signal can act again.
        const DeferredEndingSignals deferred;
        std::optional<HiddenTyping> hidden;
        if (!echo)
            hidden.emplace(fd);
        line = QByteArray();
        for (;;) {
            char byte = 0;
            const ssize_t got = deferred.waitForInput(fd) ? read(fd, &byte, 1) : -1;
            if (got == 1 && byte == '\n')
                break;
            if (got == 1) {
                *line += byte;
                continue;
            }
            // The end of input ends a last line without a line break; a signal, a read error
            // or an end of input before any character gives nothing.
            if (got != 0 || line->isEmpty())
                line.reset();
            break;
        }
    }
    // The terminal's mode and the signals' actions are back: end as the signal would have.
    if (const int signal = caughtSignal; signal != 0) {
        caughtSignal = 0;
        raise(signal);
    }
    if (!line)
        return std::nullopt;
    if (line->endsWith('\r'))
        line->chop(1);
    return QString::fromUtf8(*line);
}

} // namespace cli
