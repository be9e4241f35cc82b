#pragma once

#include <QString>

// The settings file lies beside the running executable and bears its name with ".ini". When the
// executable's folder is not writable (a system-wide install), it is the file of that name in
// the user's configuration folder instead ($XDG_CONFIG_HOME/quorvel/, ~/.config/quorvel/).
QString SettingsFilePath();

// The same, for a program that shares the settings of another executable in its folder:
// quorvel-cli passes "quorvel".
QString SettingsFilePath(const QString& executableName);

// The rule beside the executable: its folder with spaces at both ends removed, a "/" unless the
// folder already ends in one, the executable's name without its extension, ".ini".
QString SettingsFilePathFor(const QString& executablePath);

// `besideExecutable` when a file can be created in its folder, otherwise the file of the same
// name in `userConfigFolder`/quorvel/ (which is then created, private to the user).
QString WritableSettingsFilePath(const QString& besideExecutable, const QString& userConfigFolder);
