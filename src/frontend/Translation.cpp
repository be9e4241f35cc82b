#include "frontend/Translation.h"

#include "client/TranslateFailure.h"
#include "client/TranslateText.h"
#include "frontend/UserTexts.h"
#include "platform/TrimSpaces.h"
#include "settings/QuorvelSettings.h"

namespace frontend {

bool IsLongText(const QString& source) {
    return source.toUtf8().size() >= kLongText;
}

QString LanguageCode(const QString& typed) {
    return platform::TrimSpaces(typed).toLower();
}

bool HasCredentials(const modStrHexByte::Credentials& credentials) {
    return credentials.strAppID.size() + credentials.strSecretKey.size() >= 2;
}

modQuorvel::ConnectionOptions ConnectionOptionsFor(const settings::QuorvelSettings& settings,
                                                   platform::HttpConnection* connection) {
    modQuorvel::ConnectionOptions options;
    options.connection = connection;
    const settings::ServiceEndpoints endpoints = settings.serviceEndpoints();
    if (endpoints.http)
        options.httpEndpoint = *endpoints.http;
    if (endpoints.https)
        options.httpsEndpoint = *endpoints.https;
    return options;
}

TranslationResult Translate(const QString& source, const QString& from, const QString& to,
                            const modStrHexByte::Credentials& credentials, bool https,
                            const modQuorvel::ConnectionOptions& options) {
    try {
        const modQuorvel::TranslateReply reply = modQuorvel::TranslateText(
            source, from, to, credentials.strAppID, credentials.strSecretKey, https, options);
        return {reply.serviceError ? TranslationResult::Outcome::ServiceError
                                   : TranslationResult::Outcome::Translated,
                reply.text};
    } catch (const modQuorvel::TranslateFailure& failure) {
        return {TranslationResult::Outcome::Failed, failure.reason()};
    } catch (const std::exception&) {
        return {TranslationResult::Outcome::Failed, modQuorvel::kInternalError};
    }
}

} // namespace frontend
