#pragma once

#include "credentials/Credentials.h"

#include <QString>

namespace settings {
class QuorvelSettings;
}

namespace frontend {

struct CredentialSetupResult {
    enum class Outcome {
        Stored,     // both entries given: written to the file and to be used from now on
        Unchanged,  // an entry was empty: nothing written, the credentials in use stay
        Refused,    // an entry would not read back as typed, or the file would grow past what a
                    // read takes: nothing written
        NotWritten, // the file could not be written: it keeps its earlier pair
    };
    Outcome outcome = Outcome::Unchanged;
    modStrHexByte::Credentials credentials; // as typed, trimmed of spaces
    QString message;                        // what a person is told, for every outcome but Stored
};

// Stores the App ID and the secret key a person typed (spaces at both ends removed): the App ID
// in plain text, the key encoded under it, both in one write of the file. Everything is checked
// before anything is written: an App ID that would read back as another text, a key longer than
// the stored form holds or with a character that has no single-byte code, and a line break or a
// zero character in either are refused rather than stored as other credentials.
CredentialSetupResult SetUpCredentials(const settings::QuorvelSettings& settings,
                                       const QString& typedAppId, const QString& typedSecretKey);

} // namespace frontend
