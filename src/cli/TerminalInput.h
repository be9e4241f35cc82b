#pragma once

#include <QString>

#include <optional>

namespace cli {

bool IsTerminal(int fd);

// One line typed at the terminal `fd`, without its line end. With `echo` false the typed
// characters are not shown (the terminal's mode is restored afterwards). Nothing when the input
// ends or Ctrl+C interrupts the typing.
std::optional<QString> ReadTerminalLine(int fd, bool echo);

} // namespace cli
