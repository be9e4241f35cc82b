#pragma once

#include <QString>

// Where a person registers as a developer of the translation service and gets an App ID and key.
inline const QString kDeveloperPortal = QStringLiteral("http://api.fanyi.baidu.com/");
