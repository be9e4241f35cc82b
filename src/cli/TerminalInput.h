#pragma once

#include <QString>

#include <optional>

namespace cli {

// One line typed at the terminal `fd`, without its line end. With `echo` false the typed
// characters are not shown (the terminal's mode is restored afterwards). Nothing when the input
// ends. A signal meanwhile that would end the program (Ctrl+C, Ctrl+\, a hang-up, kill, SIGUSR1,
// SIGALRM, ...) first restores the terminal's mode, then ends the program as it would have.
std::optional<QString> ReadTerminalLine(int fd, bool echo);

} // namespace cli
