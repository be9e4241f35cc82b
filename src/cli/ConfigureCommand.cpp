#include "cli/ConfigureCommand.h"

#include "cli/ExitStatus.h"
#include "cli/TerminalInput.h"
#include "credentials/StoredCredentials.h"
#include "settings/clsIniFile.h"

#include <QIODevice>

namespace cli {

namespace {

const QString kAppIdPrompt = QStringLiteral("请输入百度翻译APP ID（API_KEY）：");
const QString kSecretKeyPrompt = QStringLiteral("请输入百度翻译APP KEY（SECRET_KEY）：");
const QString kNothingChanged = QStringLiteral("设置未作任何更改。");

struct Entries {
    QString appId;
    QString secretKey;
};

// Typed at the terminal, the key without echo; nothing when the person breaks off.
std::optional<Entries> AskAtTerminal(const CliConsole& console) {
    WritePrompt(console.err, kAppIdPrompt);
    const std::optional<QString> appId = ReadTerminalLine(console.terminal, true);
    if (!appId)
        return std::nullopt;
    WritePrompt(console.err, kSecretKeyPrompt);
    const std::optional<QString> secretKey = ReadTerminalLine(console.terminal, false);
    if (!secretKey)
        return std::nullopt;
    return Entries{*appId, *secretKey};
}

QString ReadInputLine(QIODevice& in) {
    QByteArray line = in.readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

} // namespace

int RunConfigure(const CliConsole& console, const QString& settingsPath) {
    std::optional<Entries> entries;
    if (console.terminal >= 0)
        entries = AskAtTerminal(console);
    else
        entries = Entries{ReadInputLine(console.in), ReadInputLine(console.in)};
    if (!entries) {
        WriteLine(console.err, QString());
        WriteLine(console.err, QStringLiteral("已取消，") + kNothingChanged);
        return kUsageError;
    }

    clsIniFile ini;
    ini.File(settingsPath);
    const CredentialSetupResult result = StoreCredentials(ini, entries->appId, entries->secretKey);
    switch (result.outcome) {
    case CredentialSetupResult::Outcome::Unchanged:
        WriteLine(console.err, QStringLiteral("APP ID和KEY都不能为空，") + kNothingChanged);
        return kUsageError;
    case CredentialSetupResult::Outcome::Refused:
        WriteLine(console.err, result.refusal);
        return kUsageError;
    case CredentialSetupResult::Outcome::NotWritten:
        WriteLine(console.err, QStringLiteral("无法写入设置文件：") + settingsPath +
                                   QStringLiteral("，") + kNothingChanged);
        return kUsageError;
    case CredentialSetupResult::Outcome::Stored:
        break;
    }
    WriteLine(console.out, QStringLiteral("APP ID和KEY已保存到") + settingsPath);
    return kSucceeded;
}

} // namespace cli
