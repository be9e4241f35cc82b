#include "frontend/CredentialSetup.h"

#include "credentials/modStrHexByte.h"
#include "frontend/UserTexts.h"
#include "platform/ProfileFileBytes.h"
#include "platform/TrimSpaces.h"
#include "settings/QuorvelSettings.h"
#include "settings/clsIniFile.h"

namespace frontend {

namespace {

using Outcome = CredentialSetupResult::Outcome;

// The stored form holds one key character per byte of the 32-byte key stream.
constexpr qsizetype kMaxSecretKeyLength = 32;

QString AppIdRefusal(settings::StoreProblem problem, const QString& appId) {
    using settings::StoreProblem;
    switch (problem) {
    case StoreProblem::None:
    case StoreProblem::ZeroCharacter:
        break;
    case StoreProblem::LineBreak:
        return QStringLiteral("APP ID含有换行符，");
    case StoreProblem::EdgeTab:
        return QStringLiteral("APP ID首尾含有制表符，读回时会被去掉，");
    case StoreProblem::OuterQuotes:
        return QStringLiteral("APP ID首尾是一对引号，读回时会被去掉，");
    case StoreProblem::MarkerText:
        return QStringLiteral("APP ID不能是“%1”，").arg(appId);
    case StoreProblem::NotInCodePage:
        return QStringLiteral("APP ID含有无法保存的字符，请检查后重新输入。");
    case StoreProblem::TooLong:
        return QStringLiteral("APP ID超过%1字节，无法完整读回，").arg(clsIniFile::kLongestValue);
    }
    return {};
}

// Why the key cannot be stored so that it decodes to itself; empty when it can.
QString SecretKeyRefusal(const QString& secretKey) {
    if (secretKey.contains(u'\r') || secretKey.contains(u'\n'))
        return QStringLiteral("密钥含有换行符，");
    if (secretKey.size() > kMaxSecretKeyLength)
        return QStringLiteral("密钥长度超过%1个字符，无法保存。").arg(kMaxSecretKeyLength);
    try {
        modStrHexByte::StrToBytes(secretKey);
    } catch (const modStrHexByte::CharacterCodeOverflow&) {
        return QStringLiteral("密钥含有无法保存的字符，请检查后重新输入。");
    }
    return {};
}

CredentialSetupResult Refuse(const QString& why) {
    return {Outcome::Refused, {}, why + kNothingChanged};
}

} // namespace

CredentialSetupResult SetUpCredentials(const settings::QuorvelSettings& settings,
                                       const QString& typedAppId, const QString& typedSecretKey) {
    const modStrHexByte::Credentials typed{platform::TrimSpaces(typedAppId),
                                           platform::TrimSpaces(typedSecretKey)};
    if (typed.strAppID.isEmpty() || typed.strSecretKey.isEmpty())
        return {
            Outcome::Unchanged, {}, QStringLiteral("APP ID和KEY都不能为空，") + kNothingChanged};

    // A zero character would cut the text short at the byte interface.
    if (typed.strAppID.contains(QChar(0)) || typed.strSecretKey.contains(QChar(0)))
        return Refuse(QStringLiteral("APP ID或KEY含有空字符（NUL），"));
    if (const QString why = AppIdRefusal(settings::ProblemStoring(typed.strAppID), typed.strAppID);
        !why.isEmpty())
        return Refuse(why);
    if (const QString why = SecretKeyRefusal(typed.strSecretKey); !why.isEmpty())
        return Refuse(why);

    switch (settings.setCredentials(typed)) {
    case platform::ProfileWrite::Written:
        return {Outcome::Stored, typed, {}};
    case platform::ProfileWrite::TooLarge:
        // Past its size limit the whole file would read as empty, the working pair included.
        return Refuse(QStringLiteral("保存后设置文件将大于%1 MiB，超出可读取的上限：")
                          .arg(platform::kMaxProfileFileSize >> 20) +
                      settings.filePath() + QStringLiteral("，"));
    case platform::ProfileWrite::Refused:
    case platform::ProfileWrite::Failed:
        break;
    }
    return {Outcome::NotWritten, typed,
            QStringLiteral("无法写入设置文件：") + settings.filePath() + QStringLiteral("，") +
                kNothingChanged};
}

} // namespace frontend
