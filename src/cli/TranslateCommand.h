#pragma once

#include "cli/CliArguments.h"
#include "cli/CliConsole.h"

namespace cli {

// Translates with the credentials, protocol choice and service endpoints of the settings file;
// returns the exit status.
int RunTranslate(const TranslateRequest& request, const CliConsole& console,
                 const QString& settingsPath);

} // namespace cli
