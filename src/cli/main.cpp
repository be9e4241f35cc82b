// quorvel-cli: translates from a terminal or a script with the window's credentials and settings.

#include "cli/RunCli.h"
#include "platform/AnsiCodePage.h"
#include "settings/SettingsFilePath.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);

    if (!platform::AnsiCodePageAvailable()) {
        std::fputs("quorvel-cli：缺少代码页936的转换器（Qt未带ICU？），无法读取设置文件。\n",
                   stderr);
        return 3;
    }

    QFile in;
    QFile out;
    QFile err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    // Unbuffered, so that a prompt shows before the terminal is read.
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    const cli::CliConsole console{in, out, err, isatty(STDIN_FILENO) == 1 ? STDIN_FILENO : -1};

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    // The window's settings file, decided once for the whole run.
    return cli::RunCli(arguments, console, SettingsFilePath(QStringLiteral("quorvel")));
}
