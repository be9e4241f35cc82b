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
        Stored,     // both entries given: written to the file and to be used from now on
        Unchanged,  // an entry was empty: nothing written, the credentials in use stay
        Refused,    // an entry would not read back as typed: nothing written, `refusal` says why
        NotWritten, // the file could not be written: it keeps its earlier pair
    };
    Outcome outcome = Outcome::Unchanged;
    Credentials credentials;
    QString refusal;
};

// Stores the App ID and the secret key a person typed (blanks at both ends removed): the App ID
// in plain text, the key encoded under it, both in one write of the file. Everything is checked
// before anything is written: an App ID that would read back as another text, a key longer than
// the stored form holds or with a character that has no single-byte code, and a line break or a
// zero character in either are refused rather than stored as other credentials.
CredentialSetupResult StoreCredentials(clsIniFile& ini, const QString& typedAppId,
                                       const QString& typedSecretKey);
