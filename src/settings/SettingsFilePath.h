#pragma once

#include <QString>

// The settings file lies beside the running executable and bears its name with ".ini".
QString SettingsFilePath();

// The same rule for a given executable path: its folder with spaces at both ends removed, a "/"
// unless the folder already ends in one, the executable's name without its extension, ".ini".
QString SettingsFilePathFor(const QString& executablePath);
