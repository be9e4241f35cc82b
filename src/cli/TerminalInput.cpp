#include "cli/TerminalInput.h"

#include <QByteArray>

#include <csignal>
#include <termios.h>
#include <unistd.h>

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

void IgnoreSignal(int /*signal*/) {}

// Lets Ctrl+C interrupt a blocking read instead of ending the program, so that the terminal's
// mode is restored before the program ends.
class InterruptibleRead {
public:
    InterruptibleRead() {
        struct sigaction interrupt {};
        interrupt.sa_handler = IgnoreSignal;
        sigemptyset(&interrupt.sa_mask);
        interrupt.sa_flags = 0; // no SA_RESTART: read() returns EINTR
        sigaction(SIGINT, &interrupt, &saved_);
    }
    ~InterruptibleRead() { sigaction(SIGINT, &saved_, nullptr); }
    InterruptibleRead(const InterruptibleRead&) = delete;
    InterruptibleRead& operator=(const InterruptibleRead&) = delete;

private:
    struct sigaction saved_ {};
};

} // namespace

bool IsTerminal(int fd) {
    return isatty(fd) == 1;
}

std::optional<QString> ReadTerminalLine(int fd, bool echo) {
    std::optional<HiddenTyping> hidden;
    if (!echo)
        hidden.emplace(fd);
    InterruptibleRead interruptible;

    QByteArray line;
    for (;;) {
        char byte = 0;
        const ssize_t got = read(fd, &byte, 1);
        if (got == 1 && byte == '\n')
            break;
        if (got == 1) {
            line += byte;
            continue;
        }
        // The end of input ends a last line without a line break; an interrupt (EINTR), a read
        // error or an end of input before any character gives nothing.
        if (got == 0 && !line.isEmpty())
            break;
        return std::nullopt;
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

} // namespace cli
