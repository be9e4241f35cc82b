#include "frontend/CredentialSetup.h"

#include "credentials/modStrHexByte.h"
#include "frontend/UserTexts.h"
#include "platform/ErrorNumberText.h"
#include "platform/ProfileFileBytes.h"
#include "platform/TrimSpaces.h"
#include "settings/QuorvelSettings.h"
#include "settings/clsIniFile.h"

#include <cerrno>

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
        return kAppIdLineBreak;
    case StoreProblem::EdgeTab:
        return kAppIdEdgeTab;
    case StoreProblem::OuterQuotes:
        return kAppIdOuterQuotes;
    case StoreProblem::MarkerText:
        return kAppIdMarkerText.arg(appId);
    case StoreProblem::NotInCodePage:
        return kAppIdNotStorable;
    case StoreProblem::TooLong:
        return kAppIdTooLong.arg(clsIniFile::kLongestValue);
    }
    return {};
}

// Why the key cannot be stored so that it decodes to itself; empty when it can.
QString SecretKeyRefusal(const QString& secretKey) {
    if (secretKey.contains(u'\r') || secretKey.contains(u'\n'))
        return kSecretKeyLineBreak;
    if (secretKey.size() > kMaxSecretKeyLength)
        return kSecretKeyTooLong.arg(kMaxSecretKeyLength);
    try {
        modStrHexByte::StrToBytes(secretKey);
    } catch (const modStrHexByte::CharacterCodeOverflow&) {
        return kSecretKeyNotStorable;
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
        return {Outcome::Unchanged, {}, kEmptyCredentials + kNothingChanged};

    // A zero character would cut the text short at the byte interface.
    if (typed.strAppID.contains(QChar(0)) || typed.strSecretKey.contains(QChar(0)))
        return Refuse(kNulInCredentials);
    if (const QString why = AppIdRefusal(settings::ProblemStoring(typed.strAppID), typed.strAppID);
        !why.isEmpty())
        return Refuse(why);
    if (const QString why = SecretKeyRefusal(typed.strSecretKey); !why.isEmpty())
        return Refuse(why);

    int errorNumber = EINVAL; // for Refused, which the checks above leave no room for
    switch (settings.setCredentials(typed, &errorNumber)) {
    case platform::ProfileWrite::Written:
        return {Outcome::Stored, typed, {}};
    case platform::ProfileWrite::TooLarge:
        // Past its size limit the whole file would read as empty, the working pair included.
        return Refuse(
            kSettingsTooLarge.arg(platform::kMaxProfileFileSize >> 20).arg(settings.filePath()));
    case platform::ProfileWrite::Refused:
    case platform::ProfileWrite::Failed:
        break;
    }
    return {Outcome::NotWritten, typed,
            kSettingsNotWritten.arg(settings.filePath(), platform::ErrorNumberText(errorNumber)) +
                kNothingChanged};
}

} // namespace frontend
