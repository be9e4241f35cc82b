#pragma once

#include <QString>

namespace cli {

// The usage lines, also shown after a usage error.
QString UsageText();

// What --help prints; `settingsPath` is the settings file this run uses.
QString HelpText(const QString& settingsPath);

// What --version prints.
QString VersionText();

} // namespace cli
