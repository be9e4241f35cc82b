#include "cli/ConfigureCommand.h"

#include "cli/CliTexts.h"
#include "cli/ExitStatus.h"
#include "cli/TerminalInput.h"
#include "frontend/CredentialSetup.h"
#include "frontend/UserTexts.h"
#include "settings/QuorvelSettings.h"

#include <QIODevice>

namespace cli {

namespace {

struct Entries {
    QString appId;
    QString secretKey;
};

// Typed at the terminal, the key without echo; nothing when the person breaks off.
std::optional<Entries> AskAtTerminal(const CliConsole& console) {
    WritePrompt(console.err, frontend::kAppIdPrompt);
    const std::optional<QString> appId = ReadTerminalLine(console.terminal, true);
    if (!appId)
        return std::nullopt;
    WritePrompt(console.err, frontend::kSecretKeyPrompt);
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
        WriteError(console.err, kConfigureCancelled + frontend::kNothingChanged);
        return kUsageError;
    }

    const frontend::CredentialSetupResult result = frontend::SetUpCredentials(
        settings::QuorvelSettings(settingsPath), entries->appId, entries->secretKey);
    if (result.outcome != frontend::CredentialSetupResult::Outcome::Stored) {
        WriteError(console.err, result.message);
        return kUsageError;
    }
    WriteLine(console.out, CredentialsStored(settingsPath));
    return kSucceeded;
}

} // namespace cli
