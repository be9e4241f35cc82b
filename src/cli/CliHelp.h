#pragma once

#include <QString>

namespace cli {

// What --help prints; `settingsPath` is the settings file this run uses.
QString HelpText(const QString& settingsPath);

// What --version prints.
QString VersionText();

} // namespace cli
