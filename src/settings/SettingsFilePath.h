#pragma once

#include <QString>

namespace settings {

// Where the settings file lies, decided once when a program starts (each call decides afresh, so
// a program calls it once and keeps the result). An installed copy (InstalledCopyMarker()) keeps
// it in the user's configuration folder (UserSettingsFolder()), whoever runs it. Any other copy
// keeps it beside the running executable, bearing its name with ".ini", when a file of that name
// is already there or a file can be created in that folder; otherwise in the user's folder.
QString SettingsFilePath();

// The same, for a program that shares the settings of another executable in its folder:
// quorvel-cli passes "quorvel".
QString SettingsFilePath(const QString& executableName);

// The rule beside the executable: its folder with spaces at both ends removed, a "/" unless the
// folder already ends in one, the executable's name without its extension, ".ini".
QString SettingsFilePathFor(const QString& executablePath);

// The file of the same name in `userConfigFolder`/quorvel/ for an installed copy in the folder
// of `besideExecutable`; otherwise `besideExecutable` when it exists (whatever it is) or a file
// can be created in its folder, and the file in `userConfigFolder`/quorvel/ when neither holds.
// Nothing is created.
QString ChooseSettingsFilePath(const QString& besideExecutable, const QString& userConfigFolder);

// $XDG_CONFIG_HOME/quorvel (~/.config/quorvel, also when XDG_CONFIG_HOME is a relative path):
// the folder of the settings file of an installed copy, and of one whose folder cannot take a
// file. The first write to a file there creates it, for its owner only.
QString UserSettingsFolder();

// The file that the install rules (the package, `cmake --install`) put in the installed data
// folder, as a path from the folder of the installed executables. Its presence makes a copy an
// installed one.
QString InstalledCopyMarker();

} // namespace settings
