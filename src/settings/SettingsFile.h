#pragma once

#include <QString>

// The layout of Quorvel's settings file and the rules by which its values are read and written.
namespace SettingsFile {

inline const QString kSettings = QStringLiteral("Settings");
inline const QString kHttps = QStringLiteral("Https");
inline const QString kBaiDuKeyInfo = QStringLiteral("BaiDuKeyInfo");
inline const QString kAppID = QStringLiteral("AppID");
inline const QString kSecretKeyEncode = QStringLiteral("Secret_Key_Encode");
inline const QString kFont = QStringLiteral("Font");
inline const QString kFontSize = QStringLiteral("FontSize");
// Optional addresses that replace the service's real endpoints (demo and end-to-end checks);
// Quorvel reads them but never writes them.
inline const QString kService = QStringLiteral("Service");
inline const QString kHttpEndpointKey = QStringLiteral("HttpEndpoint");
inline const QString kHttpsEndpointKey = QStringLiteral("HttpsEndpoint");

// Removes space characters (and only those: tabs stay) at both ends.
QString TrimBlanks(const QString& text);

// A stored protocol choice is on when, trimmed and upper-cased, it is "TRUE" or "1".
bool HttpsIsOn(const QString& stored);
QString HttpsValue(bool on);

// A value read with GetSetting counts as set unless it is a marker text or only blanks.
bool IsSet(const QString& stored);

// A font size as stored: at most four decimals, no trailing zeros, the user's decimal separator,
// digits alone for a whole number of points.
QString FontSizeText(double points);

} // namespace SettingsFile
