#pragma once

#include <QString>

// The service credentials in memory: the App ID and the plain secret key.
struct Credentials {
    QString strAppID;
    QString strSecretKey;
};
