#pragma once

#include <QString>

// Where a person registers as a developer of the translation service.
inline const QString kDeveloperPortal = QStringLiteral("http://api.fanyi.baidu.com/");

// The usage notes of the help command: what the program needs, and the common language codes.
QString HelpText();
