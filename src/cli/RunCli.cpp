#include "cli/RunCli.h"

#include "cli/CliArguments.h"
#include "cli/CliHelp.h"
#include "cli/ConfigureCommand.h"
#include "cli/ExitStatus.h"
#include "cli/TranslateCommand.h"
#include "platform/ProfileFileBytes.h"

namespace cli {

namespace {

template <typename... Handlers> struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang before 17).
template <typename... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

// Something under the settings file's name that is no settings file is read as absent and never
// written; at the command line a person is told why the stored settings are not used.
void WarnIfNoSettingsFile(const CliConsole& console, const QString& settingsPath) {
    QString why;
    switch (platform::ReadProfileFileBytes(settingsPath).kind) {
    case platform::ProfileFileKind::NotRegular:
        why = QStringLiteral("不是普通文件");
        break;
    case platform::ProfileFileKind::TooLarge:
        why = QStringLiteral("大于%1 MiB").arg(platform::kMaxProfileFileSize >> 20);
        break;
    default:
        return;
    }
    WriteLine(console.err, QStringLiteral("quorvel-cli：设置文件%1%2，按不存在处理，不会写入。")
                               .arg(settingsPath, why));
}

} // namespace

int RunCli(const QStringList& arguments, const CliConsole& console, const QString& settingsPath) {
    return std::visit(
        Overloaded{
            [&](const TranslateRequest& request) {
                WarnIfNoSettingsFile(console, settingsPath);
                return RunTranslate(request, console, settingsPath);
            },
            [&](const ConfigureRequest&) {
                WarnIfNoSettingsFile(console, settingsPath);
                return RunConfigure(console, settingsPath);
            },
            [&](const HelpRequest&) {
                WriteLine(console.out, HelpText(settingsPath));
                return int{kSucceeded};
            },
            [&](const VersionRequest&) {
                WriteLine(console.out, VersionText());
                return int{kSucceeded};
            },
            [&](const UsageError& error) {
                WriteLine(console.err, QStringLiteral("quorvel-cli：") + error.message);
                WriteLine(console.err, UsageText());
                WriteLine(console.err, QStringLiteral("请用 quorvel-cli --help 查看帮助。"));
                return int{kUsageError};
            },
        },
        ParseArguments(arguments));
}

} // namespace cli
