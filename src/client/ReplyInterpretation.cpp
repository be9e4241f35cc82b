#include "client/ReplyInterpretation.h"

#include "client/TranslateFailure.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QVariant>

namespace modQuorvel {

namespace {

TranslateFailure UnrecognisedReply(long httpStatus) {
    return TranslateFailure(QStringLiteral("无法识别的服务回复(HTTP %1)").arg(httpStatus));
}

// error_code is a string from the real service, but a number is read the same way; a missing
// value is empty.
QString ValueText(const QJsonValue& value) {
    return value.toVariant().toString();
}

} // namespace

TranslateReply InterpretReply(const QByteArray& body, long httpStatus) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        throw UnrecognisedReply(httpStatus);
    const QJsonObject reply = document.object();

    const QJsonValue errorCode = reply[QLatin1String("error_code")];
    if (!errorCode.isUndefined()) {
        const QString code = ValueText(errorCode);
        return {QStringLiteral("错误代码:") + code + QStringLiteral(",说明:") +
                    ValueText(reply[QLatin1String("error_msg")]),
                true,
                code,
                {}};
    }

    const QJsonValue results = reply[QLatin1String("trans_result")];
    if (!results.isArray())
        throw UnrecognisedReply(httpStatus);
    QStringList lines;
    for (const QJsonValue result : results.toArray())
        lines << result[QLatin1String("dst")].toString();
    return {lines.join(QStringLiteral("\r\n")), false, {}, lines};
}

} // namespace modQuorvel
