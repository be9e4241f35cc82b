#include "cli/RunCli.h"

#include "cli/CliArguments.h"
#include "cli/CliHelp.h"
#include "cli/ConfigureCommand.h"
#include "cli/ExitStatus.h"
#include "cli/TranslateCommand.h"

namespace cli {

namespace {

template <typename... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
// Spelled out for compilers without deduction for aggregates (clang before 17).
template <typename... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace

int RunCli(const QStringList& arguments, const CliConsole& console, const QString& settingsPath) {
    return std::visit(
        Overloaded{
            [&](const TranslateRequest& request) {
                return RunTranslate(request, console, settingsPath);
            },
            [&](const ConfigureRequest&) { return RunConfigure(console, settingsPath); },
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
