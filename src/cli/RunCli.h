#pragma once

#include "cli/CliConsole.h"

#include <QStringList>

namespace cli {

// One run of quorvel-cli: `arguments` are those after the program's name, `settingsPath` the
// settings file it shares with the window. Returns the exit status (cli/ExitStatus.h).
int RunCli(const QStringList& arguments, const CliConsole& console, const QString& settingsPath);

} // namespace cli
