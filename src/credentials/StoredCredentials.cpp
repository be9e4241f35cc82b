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

    if (secretKey.size() > kMaxSecretKeyLength)
        return Refuse(QStringLiteral("密钥长度超过%1个字符，无法保存。").arg(kMaxSecretKeyLength));
    QString encoded;
    try {
        encoded = modStrHexByte::EncodeSecretKey(appId, secretKey);
    } catch (const std::exception&) {
        return Refuse(QStringLiteral("密钥含有无法保存的字符，请检查后重新输入。"));
    }
    // The App ID is stored in the code page too; a character it cannot hold would come back as
    // another App ID, under which the stored key no longer decodes.
    bool lossy = false;
    platform::WideToAnsi(appId, &lossy);
    if (lossy)
        return Refuse(QStringLiteral("APP ID含有无法保存的字符，请检查后重新输入。"));

    ini.SaveSetting(kBaiDuKeyInfo, kAppID, appId);
    ini.SaveSetting(kBaiDuKeyInfo, kSecretKeyEncode, encoded);

    CredentialSetupResult result;
    result.outcome = CredentialSetupResult::Outcome::Stored;
    result.credentials = Credentials{appId, secretKey};
    return result;
}
