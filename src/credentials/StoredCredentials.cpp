#include "credentials/StoredCredentials.h"

#include "credentials/modStrHexByte.h"
#include "platform/AnsiCodePage.h"
#include "settings/SettingsFile.h"
#include "settings/clsIniFile.h"

#include <stdexcept>

namespace {

// The stored form holds one key character per byte of the 32-byte key stream.
constexpr qsizetype kMaxSecretKeyLength = 32;

CredentialSetupResult Refuse(const QString& why) {
    CredentialSetupResult result;
    result.outcome = CredentialSetupResult::Outcome::Refused;
    result.refusal = why + QStringLiteral("设置未作任何更改。");
    return result;
}

bool HoldsLineBreak(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

bool IsIniBlank(QChar c) {
    return c == u'\t' || c == u'\v';
}

// Why an App ID would not come back from the file as it was typed, if it would not: reading
// strips tabs and vertical tabs at both ends and one outer pair of quotes, and gives the marker
// texts in place of a value.
std::optional<QString> AppIdRefusal(const QString& appId) {
    if (HoldsLineBreak(appId))
        return QStringLiteral("APP ID含有换行符，");
    if (IsIniBlank(appId.front()) || IsIniBlank(appId.back()))
        return QStringLiteral("APP ID首尾含有制表符，读回时会被去掉，");
    if (appId.size() >= 2 && (appId.front() == u'"' || appId.front() == u'\'') &&
        appId.back() == appId.front())
        return QStringLiteral("APP ID首尾是一对引号，读回时会被去掉，");
    if (appId == clsIniFile::kUnknownValue || appId == clsIniFile::kUnknownSectionOrKey)
        return QStringLiteral("APP ID不能是“%1”，").arg(appId);
    // The App ID is stored in the code page too; a character it cannot hold would come back as
    // another App ID, under which the stored key no longer decodes.
    bool lossy = false;
    const QByteArray stored = platform::WideToAnsi(appId, &lossy);
    if (lossy)
        return QStringLiteral("APP ID含有无法保存的字符，请检查后重新输入。");
    if (stored.size() > clsIniFile::kLongestValue)
        return QStringLiteral("APP ID超过%1字节，无法完整读回，").arg(clsIniFile::kLongestValue);
    return std::nullopt;
}

} // namespace

std::optional<Credentials> ReadStoredCredentials(const clsIniFile& ini) {
    using namespace SettingsFile;
    const QString appId = ini.GetSetting(kBaiDuKeyInfo, kAppID);
    const QString stored = ini.GetSetting(kBaiDuKeyInfo, kSecretKeyEncode);
    if (!IsSet(appId) || !IsSet(stored))
        return std::nullopt;
    return Credentials{appId, modStrHexByte::DecodeSecretKey(appId, stored)};
}

CredentialSetupResult StoreCredentials(clsIniFile& ini, const QString& typedAppId,
                                       const QString& typedSecretKey) {
    using namespace SettingsFile;
    const QString appId = TrimBlanks(typedAppId);
    const QString secretKey = TrimBlanks(typedSecretKey);
    if (appId.isEmpty() || secretKey.isEmpty())
        return {};

    // A zero character would cut the text short at the byte interface.
    if (appId.contains(QChar(0)) || secretKey.contains(QChar(0)))
        return Refuse(QStringLiteral("APP ID或KEY含有空字符（NUL），"));
    if (const std::optional<QString> why = AppIdRefusal(appId))
        return Refuse(*why);
    if (HoldsLineBreak(secretKey))
        return Refuse(QStringLiteral("密钥含有换行符，"));
    if (secretKey.size() > kMaxSecretKeyLength)
        return Refuse(QStringLiteral("密钥长度超过%1个字符，无法保存。").arg(kMaxSecretKeyLength));
    QString encoded;
    try {
        encoded = modStrHexByte::EncodeSecretKey(appId, secretKey);
    } catch (const std::exception&) {
        return Refuse(QStringLiteral("密钥含有无法保存的字符，请检查后重新输入。"));
    }

    // One write: the key is stored only beside the App ID it is encoded under.
    CredentialSetupResult result;
    result.outcome = ini.SaveSettings(kBaiDuKeyInfo, {{kAppID, appId}, {kSecretKeyEncode, encoded}})
                         ? CredentialSetupResult::Outcome::Stored
                         : CredentialSetupResult::Outcome::NotWritten;
    result.credentials = Credentials{appId, secretKey};
    return result;
}
