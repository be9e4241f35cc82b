#pragma once

#include "cli/CliConsole.h"

namespace cli {

// Asks for the App ID and the secret key (or reads two lines of standard input) and stores them
// as the window's "设置" does; returns the exit status.
int RunConfigure(const CliConsole& console, const QString& settingsPath);

} // namespace cli
