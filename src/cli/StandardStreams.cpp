#include "cli/StandardStreams.h"

#include "cli/CliConsole.h"
#include "cli/CliTexts.h"
#include "cli/DescriptorOutput.h"
#include "cli/ExitStatus.h"
#include "platform/ErrorNumberText.h"

#include <QStringDecoder>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

void PrepareStandardStreams() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        // open() takes the lowest free number, which is this one when it is closed.
        if (fcntl(fd, F_GETFD) == -1)
            static_cast<void>(open("/dev/null", O_RDONLY));
    }
    std::signal(SIGPIPE, SIG_DFL);
}

std::optional<QStringList> Utf8Arguments(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
        arguments += utf8.decode(QByteArrayView(argv[i]));
        if (utf8.hasError())
            return std::nullopt;
    }
    return arguments;
}

int FinishOutput(const DescriptorOutput& out, QIODevice& err, int status) {
    if (out.writeError() == 0)
        return status;
    WriteError(err, StandardOutputUnwritable(platform::ErrorNumberText(out.writeError())));
    return kOutputFailed;
}

} // namespace cli
