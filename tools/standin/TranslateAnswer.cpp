#include "standin/TranslateAnswer.h"

#include "client/ServiceErrors.h"

#include "standin/JsonText.h"
#include "standin/StandInTranslation.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace standin {

namespace {

// The service's common language codes; "auto" is accepted as a source only.
constexpr std::array<std::string_view, 28> kLanguageCodes{
    "zh", "en", "yue", "wyw", "jp",  "kor", "fra", "spa", "th",  "ara", "ru",  "pt", "de",  "it",
    "el", "nl", "pl",  "bul", "est", "dan", "fin", "cs",  "rom", "slo", "swe", "hu", "cht", "vie"};

bool IsLanguageCode(const std::string& code) {
    return std::find(kLanguageCodes.begin(), kLanguageCodes.end(), code) != kLanguageCodes.end();
}

std::string Field(const std::map<std::string, std::string>& fields, const char* name) {
    const auto found = fields.find(name);
    return found == fields.end() ? std::string{} : found->second;
}

// The sign covers the bytes exactly as decoded from the form, as the service does.
std::string ExpectedSign(const std::string& appid, const std::string& q, const std::string& salt,
                         const std::string& key) {
    const QByteArray input = QByteArray::fromStdString(appid + q + salt + key);
    return QCryptographicHash::hash(input, QCryptographicHash::Md5).toHex().toStdString();
}

// The service's error of that code, with the message of its table.
ServiceError ErrorOf(QStringView code) {
    const std::optional<modQuorvel::ServiceErrorCode> known =
        modQuorvel::FindServiceErrorCode(code);
    return {code.toString().toStdString(), known ? std::string(known->message) : std::string()};
}

} // namespace

ServiceError EmptyFieldError() {
    return ErrorOf(modQuorvel::kEmptyFieldCode);
}
ServiceError UnknownAppIdError() {
    return ErrorOf(modQuorvel::kUnknownAppIdCode);
}
ServiceError WrongSignError() {
    return ErrorOf(modQuorvel::kWrongSignCode);
}
ServiceError BadLanguageError() {
    return ErrorOf(modQuorvel::kBadLanguageCode);
}
ServiceError RateLimitError() {
    return ErrorOf(modQuorvel::kAccessLimitCode);
}

ServiceError KnownError(const std::string& code) {
    return ErrorOf(QString::fromStdString(code));
}

std::optional<ServiceError>
CheckTranslateRequest(const std::map<std::string, std::string>& fields,
                      const std::map<std::string, std::string>& accounts) {
    for (const char* name : {"q", "from", "to", "appid", "salt", "sign"})
        if (Field(fields, name).empty())
            return EmptyFieldError();
    const std::string appid = Field(fields, "appid");
    const auto account = accounts.find(appid);
    if (account == accounts.end())
        return UnknownAppIdError();
    if (Field(fields, "sign") !=
        ExpectedSign(appid, Field(fields, "q"), Field(fields, "salt"), account->second)) {
        return WrongSignError();
    }
    const std::string from = Field(fields, "from");
    const std::string to = Field(fields, "to");
    if (!IsLanguageCode(to) || (from != "auto" && !IsLanguageCode(from)))
        return BadLanguageError();
    return std::nullopt;
}

std::string ErrorReply(const ServiceError& error) {
    return "{\"error_code\":" + JsonQuoted(QString::fromStdString(error.code)) +
           ",\"error_msg\":" + JsonQuoted(QString::fromStdString(error.message)) + "}";
}

std::string TranslationReply(const std::map<std::string, std::string>& fields,
                             bool dropLastResult) {
    const QString q = QString::fromStdString(Field(fields, "q"));
    const QString to = QString::fromStdString(Field(fields, "to"));
    QString from = QString::fromStdString(Field(fields, "from"));
    if (from == u"auto")
        from = DetectLanguage(q);

    std::string reply =
        "{\"from\":" + JsonQuoted(from) + ",\"to\":" + JsonQuoted(to) + ",\"trans_result\":[";
    const QStringList lines = q.split(QLatin1Char('\n'));
    const qsizetype answered = lines.size() - (dropLastResult ? 1 : 0);
    for (qsizetype i = 0; i < answered; ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (i > 0)
            reply += ',';
        reply += "{\"src\":" + JsonQuoted(line) +
                 ",\"dst\":" + JsonQuoted(TranslateLine(line, from, to)) + "}";
    }
    reply += "]}";
    return reply;
}

std::string AnswerTranslateRequest(const std::map<std::string, std::string>& fields,
                                   const std::map<std::string, std::string>& accounts,
                                   const std::function<bool(const std::string&)>& admit,
                                   bool dropLastResult) {
    if (const auto error = CheckTranslateRequest(fields, accounts))
        return ErrorReply(*error);
    if (admit && !admit(fields.at("appid")))
        return ErrorReply(RateLimitError());
    return TranslationReply(fields, dropLastResult);
}

} // namespace standin
