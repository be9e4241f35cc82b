#include "client/TranslateText.h"

#include "client/ServiceEndpoints.h"
#include "client/SignedRequest.h"
#include "client/TranslateFailure.h"
#include "platform/WinHttpRequest.h"

namespace modQuorvel {

TranslateReply TranslateText(const QString& source, const QString& from, const QString& to,
                             const QString& appId, const QString& secretKey, bool https,
                             const ConnectionOptions& options) {
    const QString& endpoint = https ? options.httpsEndpoint : options.httpEndpoint;
    if (const std::optional<QString> refusal =
            https ? RefusalOfHttpsEndpoint(endpoint) : std::nullopt)
        throw TranslateFailure(*refusal);
    const QString salt = MakeSalt();
    const QString sign = MakeSign(appId, source, salt, secretKey);
    const QByteArray body = ComposeBody(source, from, to, appId, salt, sign);

    try {
        platform::WinHttpRequest request(options.connection);
        // A redirect is read like any other reply; it never carries the body elsewhere.
        request.SetFollowRedirects(false);
        request.SetTimeouts(options.connectTimeout, options.totalTimeout);
        request.SetMaxResponseSize(options.maxReplyBytes);
        if (options.abandon.stop_possible())
            request.AbortOn(options.abandon);
        if (options.beforeSend)
            request.SetBeforeSend(options.beforeSend);
        if (!options.extraCaFile.isEmpty())
            request.TrustExtraCaFile(options.extraCaFile);
        request.Open(QStringLiteral("POST"), endpoint);
        request.SetRequestHeader(QStringLiteral("Content-Type"),
                                 QStringLiteral("application/x-www-form-urlencoded"));
        request.SetRequestHeader(QStringLiteral("Content-Length"), QString::number(body.size()));
        request.Send(body);
        return InterpretReply(request.ResponseBody(), request.Status());
    } catch (const platform::HttpError& error) {
        throw TranslateFailure(kRequestFailed + error.description(), error.transient());
    }
}

} // namespace modQuorvel
