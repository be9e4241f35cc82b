#include "settings/QuorvelSettings.h"

#include "credentials/modStrHexByte.h"
#include "platform/AnsiCodePage.h"
#include "platform/TrimSpaces.h"
#include "settings/clsIniFile.h"

#include <QLocale>

namespace settings {

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kHttps = QStringLiteral("Https");
const QString kBaiDuKeyInfo = QStringLiteral("BaiDuKeyInfo");
const QString kAppID = QStringLiteral("AppID");
const QString kSecretKeyEncode = QStringLiteral("Secret_Key_Encode");
const QString kFont = QStringLiteral("Font");
const QString kFontSize = QStringLiteral("FontSize");
const QString kService = QStringLiteral("Service");
const QString kHttpEndpoint = QStringLiteral("HttpEndpoint");
const QString kHttpsEndpoint = QStringLiteral("HttpsEndpoint");
const QString kQps = QStringLiteral("QPS");

clsIniFile IniFile(const QString& path) {
    clsIniFile ini;
    ini.File(path);
    return ini;
}

// A value read with GetSetting counts as set unless it is a marker text or only spaces.
std::optional<QString> SetValue(const QString& stored) {
    if (stored == clsIniFile::kUnknownSectionOrKey || stored == clsIniFile::kUnknownValue ||
        platform::TrimSpaces(stored).isEmpty())
        return std::nullopt;
    return stored;
}

QString FontSizeText(double points) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(points, 'f', 4);
    const QString separator = locale.decimalPoint();
    if (text.contains(separator)) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(separator))
            text.chop(separator.size());
    }
    return text;
}

bool IsIniBlank(QChar c) {
    return c == u'\t' || c == u'\v';
}

} // namespace

bool QuorvelSettings::https() const {
    const QString value =
        platform::TrimSpaces(IniFile(filePath_).GetSetting(kSettings, kHttps)).toUpper();
    return value == u"TRUE" || value == u"1";
}

bool QuorvelSettings::setHttps(bool on) const {
    return IniFile(filePath_).SaveSetting(
               kSettings, kHttps, on ? QStringLiteral("TRUE") : QStringLiteral("FALSE")) != 0;
}

std::optional<double> QuorvelSettings::fontSize() const {
    bool ok = false;
    const double points =
        QLocale().toDouble(IniFile(filePath_).GetSetting(kFont, kFontSize).trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return points;
}

bool QuorvelSettings::setFontSize(double points) const {
    return IniFile(filePath_).SaveSetting(kFont, kFontSize, FontSizeText(points)) != 0;
}

std::optional<modStrHexByte::Credentials> QuorvelSettings::credentials() const {
    // One read: a save between two reads would pair the new App ID with the old key.
    const QStringList values =
        IniFile(filePath_).GetSettings(kBaiDuKeyInfo, {kAppID, kSecretKeyEncode});
    const std::optional<QString> appId = SetValue(values[0]);
    const std::optional<QString> stored = SetValue(values[1]);
    if (!appId || !stored)
        return std::nullopt;
    return modStrHexByte::Credentials{*appId, modStrHexByte::DecodeSecretKey(*appId, *stored)};
}

platform::ProfileWrite
QuorvelSettings::setCredentials(const modStrHexByte::Credentials& credentials,
                                int* errorNumber) const {
    // One write: the key is stored only beside the App ID it is encoded under.
    const QString encoded =
        modStrHexByte::EncodeSecretKey(credentials.strAppID, credentials.strSecretKey);
    return IniFile(filePath_).SaveSettings(
        kBaiDuKeyInfo, {{kAppID, credentials.strAppID}, {kSecretKeyEncode, encoded}}, errorNumber);
}

ServiceEndpoints QuorvelSettings::serviceEndpoints() const {
    const QStringList values =
        IniFile(filePath_).GetSettings(kService, {kHttpEndpoint, kHttpsEndpoint});
    const auto endpoint = [](const QString& stored) -> std::optional<QString> {
        if (const std::optional<QString> value = SetValue(stored))
            return platform::TrimSpaces(*value);
        return std::nullopt;
    };
    return {endpoint(values[0]), endpoint(values[1])};
}

std::optional<double> QuorvelSettings::requestsPerSecond() const {
    const std::optional<QString> stored = SetValue(IniFile(filePath_).GetSetting(kService, kQps));
    return stored ? RequestsPerSecond(*stored) : 1;
}

std::optional<double> RequestsPerSecond(const QString& text) {
    bool ok = false;
    const double rate = platform::TrimSpaces(text).toDouble(&ok);
    // Written so that nan, which fails every comparison, is refused too.
    if (!ok || !(rate >= kMinRequestsPerSecond && rate <= kMaxRequestsPerSecond))
        return std::nullopt;
    return rate;
}

StoreProblem ProblemStoring(const QString& value) {
    if (value.contains(QChar(0)))
        return StoreProblem::ZeroCharacter;
    if (value.contains(u'\r') || value.contains(u'\n'))
        return StoreProblem::LineBreak;
    if (value.isEmpty())
        return StoreProblem::None;
    if (IsIniBlank(value.front()) || IsIniBlank(value.back()))
        return StoreProblem::EdgeTab;
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return StoreProblem::OuterQuotes;
    if (value == clsIniFile::kUnknownValue || value == clsIniFile::kUnknownSectionOrKey)
        return StoreProblem::MarkerText;
    bool lossy = false;
    const QByteArray stored = platform::WideToAnsi(value, &lossy);
    if (lossy)
        return StoreProblem::NotInCodePage;
    if (stored.size() > clsIniFile::kLongestValue)
        return StoreProblem::TooLong;
    return StoreProblem::None;
}

} // namespace settings
