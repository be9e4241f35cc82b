#include "client/ReplyInterpretation.h"

#include "client/ServiceErrors.h"
#include "client/TranslateFailure.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <optional>

namespace modQuorvel {

namespace {

// A string or number as its text (the real service writes strings, a number reads the same);
// nothing for null, a missing key or any other kind of value.
std::optional<QString> ScalarText(const QJsonValue& value) {
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 17);
    return std::nullopt;
}

// The service's error code, when the reply is an error: a code other than the success code.
std::optional<QString> ReplyErrorCode(const QJsonObject& reply) {
    std::optional<QString> code = ScalarText(reply[QLatin1String("error_code")]);
    if (!code || code->isEmpty() || *code == kSuccessCode)
        return std::nullopt;
    return code;
}

QString ServiceErrorLine(const QJsonObject& reply, const QString& code) {
    QString line = kServiceErrorCodeLabel + code;
    if (const std::optional<QString> message = ScalarText(reply[QLatin1String("error_msg")]))
        line += kServiceErrorMessageLabel + *message;
    return line;
}

// A result as one line of the output: every line break inside it (CR LF, LF, CR, VT, FF, NEL,
// U+2028, U+2029) becomes one space, so that a document keeps its line count.
QString OnOneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar& ch : text) {
        const char16_t unit = ch.unicode();
        if ((unit >= u'\n' && unit <= u'\r') || unit == 0x85 || unit == 0x2028 || unit == 0x2029)
            ch = QLatin1Char(' ');
    }
    return text;
}

// Every result's dst, in order; nothing unless there is at least one result and each has a
// string dst, so that a reply in another shape never shows as blank lines.
std::optional<QStringList> TranslatedLines(const QJsonObject& reply) {
    const QJsonArray results = reply[QLatin1String("trans_result")].toArray();
    if (results.isEmpty())
        return std::nullopt;
    QStringList lines;
    for (const QJsonValue result : results) {
        const QJsonValue dst = result[QLatin1String("dst")];
        if (!dst.isString())
            return std::nullopt;
        lines << OnOneLine(dst.toString());
    }
    return lines;
}

} // namespace

TranslateReply InterpretReply(const QByteArray& body, long httpStatus) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    const QJsonObject reply = document.object();
    const bool json = parseError.error == QJsonParseError::NoError && document.isObject();

    // The service's own error reply is shown whatever status it came with.
    if (const std::optional<QString> code = json ? ReplyErrorCode(reply) : std::nullopt)
        return {ServiceErrorLine(reply, *code), true, *code, {}};
    // Anything else that is not a success (a redirect, a server's error page, a proxy's page)
    // says so, even when its body looks like a translation.
    if (httpStatus < 200 || httpStatus > 299)
        throw TranslateFailure(kHttpStatus.arg(httpStatus));
    const std::optional<QStringList> lines = json ? TranslatedLines(reply) : std::nullopt;
    if (!lines)
        throw TranslateFailure(kUnrecognisedReply);
    return {lines->join(QStringLiteral("\r\n")), false, {}, *lines};
}

} // namespace modQuorvel
