#pragma once

#include <QByteArray>
#include <QString>

// The pieces of one signed request to the translation service.
namespace modQuorvel {

// A fresh short text of digits: a clock-seeded random single-precision r in [0, 1), written
// with at most seven significant digits, with every "." removed (0.25 gives "025").
QString MakeSalt();

// Lowercase hex MD5 of the UTF-8 bytes of appId + source + salt + secretKey, with the source
// text raw, before any encoding.
QString MakeSign(const QString& appId, const QString& source, const QString& salt,
                 const QString& secretKey);

// The form body q, appid, salt, from, to, sign in that order. q, the App ID and the two language
// codes are encoded, so that the service decodes each to the text given (the sign is over the
// App ID as given, not as encoded); the salt and sign, digits and hex, go as they are.
QByteArray ComposeBody(const QString& source, const QString& from, const QString& to,
                       const QString& appId, const QString& salt, const QString& sign);

} // namespace modQuorvel
