#include "cli/TranslateCommand.h"

#include "cli/DocumentDisplay.h"
#include "cli/ExitStatus.h"
#include "cli/SignalStop.h"
#include "documents/TranslateDocument.h"
#include "frontend/Translation.h"
#include "frontend/UserTexts.h"
#include "settings/QuorvelSettings.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

#include <optional>

namespace cli {

namespace {

using documents::DocumentOutcome;

int StatusOf(DocumentOutcome outcome) {
    switch (outcome) {
    case DocumentOutcome::Translated:
        return kSucceeded;
    case DocumentOutcome::ServiceError:
        return kServiceError;
    case DocumentOutcome::InputUnreadable:
        return kUsageError;
    case DocumentOutcome::OutputFailed:
        return kOutputFailed;
    case DocumentOutcome::RequestFailed:
    case DocumentOutcome::Cancelled:
        break;
    }
    return kRequestFailed;
}

documents::DocumentJob JobFor(const TranslateRequest& request,
                              const modStrHexByte::Credentials& credentials,
                              const settings::QuorvelSettings& settings) {
    documents::DocumentJob job;
    job.account = {request.from,
                   request.to,
                   credentials.strAppID,
                   credentials.strSecretKey,
                   request.https.value_or(settings.https()),
                   frontend::ConnectionOptionsFor(settings)};
    job.requestsPerSecond = request.requestsPerSecond.value_or(settings.requestsPerSecond());
    return job;
}

} // namespace

int RunTranslate(const TranslateRequest& request, const CliConsole& console,
                 const QString& settingsPath) {
    const settings::QuorvelSettings settings(settingsPath);
    const std::optional<modStrHexByte::Credentials> credentials = settings.credentials();
    if (!credentials) {
        WriteLine(console.err, frontend::kNoCredentials);
        WriteLine(console.err, QStringLiteral("可运行 quorvel-cli --configure 设置APP ID和密钥。"));
        return kNoCredentials;
    }

    // Declared first, so that on a signal it ends the program after the rest has cleaned up.
    const SignalStop signalStop(console.stopOnSignals);

    QBuffer words;
    QFile file;
    QIODevice* input = &console.in;
    if (request.text) {
        words.setData(request.text->toUtf8());
        words.open(QIODevice::ReadOnly);
        input = &words;
    } else if (request.inputFile) {
        file.setFileName(*request.inputFile);
        if (!file.open(QIODevice::ReadOnly)) {
            WriteLine(console.err, QStringLiteral("无法读取输入文件%1：%2")
                                       .arg(*request.inputFile, file.errorString()));
            return kUsageError;
        }
        input = &file;
    } else if (console.terminal >= 0) {
        WritePrompt(console.err, QStringLiteral("请输入要翻译的文本，以Ctrl+D结束：\n"));
    }

    // A file named by -o is replaced only once the whole document is translated.
    QSaveFile saved;
    const auto outputFileFailed = [&] {
        WriteLine(
            console.err,
            QStringLiteral("无法写入输出文件%1：%2").arg(saved.fileName(), saved.errorString()));
        return kOutputFailed;
    };
    std::optional<TerminalSafeOutput> onTerminal;
    QIODevice* output = &console.out;
    if (request.outputFile) {
        saved.setFileName(*request.outputFile);
        if (!saved.open(QIODevice::WriteOnly))
            return outputFileFailed();
        output = &saved;
    } else if (console.outIsTerminal) {
        output = &onTerminal.emplace(console.out);
    }

    ProgressLine progress(console.err, console.errIsTerminal && !request.quiet);
    const documents::DocumentResult result = documents::TranslateDocument(
        *input, *output, JobFor(request, *credentials, settings),
        [&](const documents::DocumentProgress& done) { progress.show(done); }, signalStop.token());
    progress.clear();

    if (result.outcome == DocumentOutcome::Translated) {
        if (request.outputFile && !saved.commit())
            return outputFileFailed();
        return kSucceeded;
    }
    // Standard output that cannot be written is told once, when the program ends.
    if (result.outcome != DocumentOutcome::OutputFailed || request.outputFile)
        WriteReceivedLine(console.err, console.errIsTerminal, result.message);
    return StatusOf(result.outcome);
}

} // namespace cli
