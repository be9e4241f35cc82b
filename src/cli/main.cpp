// quorvel-cli: translates from a terminal or a script with the window's credentials and settings.

#include "cli/CliTexts.h"
#include "cli/DescriptorOutput.h"
#include "cli/ExitStatus.h"
#include "cli/InputFile.h"
#include "cli/RunCli.h"
#include "cli/StandardStreams.h"
#include "frontend/UserTexts.h"
#include "platform/AnsiCodePage.h"
#include "settings/SettingsFilePath.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[]) {
    cli::PrepareStandardStreams();
    QCoreApplication app(argc, argv);

    if (!platform::AnsiCodePageAvailable()) {
        // No request can be made without the settings file.
        std::fputs((cli::kErrorPrefix + frontend::kNoCodePage + "\n").toUtf8().constData(), stderr);
        return cli::kRequestFailed;
    }

    cli::InputFile in;
    QFile err;
    // Read through the descriptor: lines read through the C library's stream would end at a NUL.
    in.open(STDIN_FILENO, QIODevice::ReadOnly);
    // Written through the descriptor, so that a failed write keeps its error number.
    cli::DescriptorOutput out(STDOUT_FILENO);
    // Unbuffered, so that a prompt shows before the terminal is read.
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    const cli::CliConsole console{in,
                                  out,
                                  err,
                                  isatty(STDIN_FILENO) == 1 ? STDIN_FILENO : -1,
                                  isatty(STDOUT_FILENO) == 1,
                                  isatty(STDERR_FILENO) == 1,
                                  true};

    const std::optional<QStringList> arguments = cli::Utf8Arguments(argc, argv);
    if (!arguments) {
        cli::WriteError(err, cli::kArgumentsNotUtf8);
        return cli::kUsageError;
    }
    // The window's settings file, decided once for the whole run.
    const int status =
        cli::RunCli(*arguments, console, settings::SettingsFilePath(QStringLiteral("quorvel")));
    return cli::FinishOutput(out, err, status);
}
