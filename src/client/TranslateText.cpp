#include "client/TranslateText.h"

#include "client/SignedRequest.h"
#include "client/TranslateFailure.h"
#include "platform/WinHttpRequest.h"

namespace modQuorvel {

TranslateReply RequestTranslation(const QString& source, const QString& from, const QString& to,
                                  const QString& appId, const QString& secretKey, bool https,
                                  const ConnectionOptions& options) {
    const QString& endpoint = https ? options.httpsEndpoint : options.httpEndpoint;
    const QString salt = MakeSalt();
    const QString sign = MakeSign(appId, source, salt, secretKey);
    const QByteArray body = ComposeBody(source, from, to, appId, salt, sign);

    try {
        platform::WinHttpRequest request;
        // A redirect is read like any other reply; it never carries the body elsewhere.
        request.SetFollowRedirects(false);
        request.SetTimeouts(options.connectTimeout, options.totalTimeout);
        request.SetMaxResponseSize(options.maxReplyBytes);
        if (!options.extraCaFile.isEmpty())
            request.TrustExtraCaFile(options.extraCaFile);
        request.Open(QStringLiteral("POST"), endpoint);
        request.SetRequestHeader(QStringLiteral("Content-Type"),
                                 QStringLiteral("application/x-www-form-urlencoded"));
        request.SetRequestHeader(QStringLiteral("Content-Length"), QString::number(body.size()));
        request.Send(body);
        return InterpretReply(request.ResponseBody(), request.Status());
    } catch (const platform::HttpError& error) {
        throw TranslateFailure(QStringLiteral("请求失败:") + error.description(),
                               error.transient());
    }
}

QString TranslateText(const QString& source, const QString& from, const QString& to,
                      const QString& appId, const QString& secretKey, bool https,
                      const ConnectionOptions& options) {
    return RequestTranslation(source, from, to, appId, secretKey, https, options).text;
}

} // namespace modQuorvel
