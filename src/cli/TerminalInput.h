#pragma once

#include <QString>

#include <optional>

namespace cli {

// One line typed at the terminal `fd`, without its line end. With `echo` false the typed
// characters are not shown (the terminal's mode is restored afterwards). Nothing when the input
// ends. SIGINT, SIGQUIT, SIGHUP or SIGTERM meanwhile (Ctrl+C, Ctrl+\, a hang-up, kill) first
// restores the terminal's mode, then acts as usual: by default the program ends by that signal.
std::optional<QString> ReadTerminalLine(int fd, bool echo);

} // namespace cli
