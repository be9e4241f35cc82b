#pragma once

#include <QString>

namespace settings {

// Where the settings file lies, decided once when a program starts (each call decides afresh, so
// a program calls it once and keeps the result): beside the running executable, bearing its name
// with ".ini", when a file of that name is already there or a file can be created in that folder;
// otherwise the file of that name in the user's configuration folder (UserSettingsFolder()).
QString SettingsFilePath();

// The same, for a program that shares the settings of another executable in its folder:
// quorvel-cli passes "quorvel".
QString SettingsFilePath(const QString& executableName);

// The rule beside the executable: its folder with spaces at both ends removed, a "/" unless the
// folder already ends in one, the executable's name without its extension, ".ini".
QString SettingsFilePathFor(const QString& executablePath);

// `besideExecutable` when it exists (whatever it is) or a file can be created in its folder,
// otherwise the file of the same name in `userConfigFolder`/quorvel/. Nothing is created.
QString ChooseSettingsFilePath(const QString& besideExecutable, const QString& userConfigFolder);

// $XDG_CONFIG_HOME/quorvel (~/.config/quorvel): the folder of the settings file when the
// program's folder cannot take one. The first write to a file there creates it, for its owner
// only.
QString UserSettingsFolder();

} // namespace settings
