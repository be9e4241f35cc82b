#pragma once

#include "client/ConnectionOptions.h"
#include "credentials/Credentials.h"

#include <QString>

namespace settings {
class QuorvelSettings;
}

// The steps of a translation that the window and quorvel-cli share, from what a person gave to
// the text to show.
namespace frontend {

// From as many bytes of UTF-8 as the service takes in one request, a text is long for one request
// (kLongTextWarning): counted as sent, a line break as CR LF.
constexpr qsizetype kLongText = modQuorvel::kLongestQuery;
bool IsLongText(const QString& source);

// A language code as typed: spaces at both ends removed, lower-cased ("Auto" is sent as "auto").
QString LanguageCode(const QString& typed);

// Whether there are credentials to send: the App ID and the key hold two characters together.
bool HasCredentials(const modStrHexByte::Credentials& credentials);

// The real service's endpoints, or the ones the settings file names in their place; requests go
// over `connection` when one is given (kept from one translation to the next).
modQuorvel::ConnectionOptions ConnectionOptionsFor(const settings::QuorvelSettings& settings,
                                                   platform::HttpConnection* connection = nullptr);

struct TranslationResult {
    enum class Outcome {
        Translated,   // `text` holds the translated lines
        ServiceError, // `text` is the service's error line
        Failed,       // `text` says why the request or the reply failed
    };
    Outcome outcome;
    QString text;
};

// One request to the service; every failure comes back as a result, never as an exception.
TranslationResult Translate(const QString& source, const QString& from, const QString& to,
                            const modStrHexByte::Credentials& credentials, bool https,
                            const modQuorvel::ConnectionOptions& options);

} // namespace frontend
