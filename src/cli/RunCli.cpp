#include "cli/RunCli.h"

#include "cli/CliArguments.h"
#include "cli/CliHelp.h"
#include "cli/CliTexts.h"
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
        why = kSettingsNotRegular;
        break;
    case platform::ProfileFileKind::TooLarge:
        why = SettingsTooLarge(platform::kMaxProfileFileSize >> 20);
        break;
    default:
        return;
    }
    WriteError(console.err, SettingsFileIgnored(settingsPath, why));
}

} // namespace

int RunCli(const QStringList& arguments, const CliConsole& console, const QString& settingsPath) {
    return std::visit(Overloaded{
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
                              WriteError(console.err, error.message);
                              WriteError(console.err, kSeeHelp);
                              return int{kUsageError};
                          },
                      },
                      ParseArguments(arguments));
}

} // namespace cli
