#pragma once

#include <QString>

namespace modStrHexByte {

// The credentials in use: the App ID and the plain secret key.
struct Credentials {
    QString strAppID;
    QString strSecretKey;
};

} // namespace modStrHexByte
