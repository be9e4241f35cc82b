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

// The form body q, appid, salt, from, to, sign in that order. q and the two language codes are
// encoded (the sign covers neither code, so only the body sees the escapes); the App ID, salt and
// sign go as they are.
QByteArray ComposeBody(const QString& source, const QString& from, const QString& to,
                       const QString& appId, const QString& salt, const QString& sign);

} // namespace modQuorvel
