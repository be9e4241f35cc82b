#pragma once

#include <QString>

#include <optional>

class clsIniFile;

// The service credentials in memory: the App ID and the plain secret key.
struct Credentials {
    QString strAppID;
    QString strSecretKey;
};

// Both credentials as the settings file holds them, the key decoded under the stored App ID
// (taken as read, inner and outer blanks kept); nothing when either is missing or blank.
std::optional<Credentials> ReadStoredCredentials(const clsIniFile& ini);

struct CredentialSetupResult {
    enum class Outcome {
        Stored,    // both entries given: written to the file and to be used from now on
        Unchanged, // an entry was empty: nothing written, the credentials in use stay
        Refused,   // the key cannot be stored faithfully: nothing written, `refusal` says why
    };
    Outcome outcome = Outcome::Unchanged;
    Credentials credentials;
    QString refusal;
};

// Stores the App ID and the secret key a person typed (blanks at both ends removed): the App ID
// in plain text, the key encoded under it. A key longer than the stored form holds, or with a
// character that has no single-byte code, is refused rather than stored as another key.
CredentialSetupResult StoreCredentials(clsIniFile& ini, const QString& typedAppId,
                                       const QString& typedSecretKey);
