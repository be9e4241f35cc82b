#include "cli/TranslateCommand.h"

#include "cli/DocumentDisplay.h"
#include "cli/DocumentResume.h"
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
    if (!credentials && !request.dryRun) {
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

    if (request.dryRun) {
        const documents::DocumentSize size =
            documents::MeasureDocument(*input, documents::kMaxRequestBytes);
        if (size.outcome != DocumentOutcome::Translated) {
            WriteLine(console.err, size.message);
            return StatusOf(size.outcome);
        }
        WriteLine(console.out, DryRunSummary(size, request.requestsPerSecond.value_or(
                                                       settings.requestsPerSecond())));
        return kSucceeded;
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

    documents::DocumentJob job = JobFor(request, *credentials, settings);
    // What is answered is kept as it arrives, so that a stopped document goes on where it was.
    const std::unique_ptr<documents::DocumentJournal> journal =
        JournalFor(request, *input, job.maxRequestBytes);
    job.answers = journal.get();

    ProgressLine progress(console.err, console.errIsTerminal && !request.quiet);
    const documents::DocumentResult result = documents::TranslateDocument(
        *input, *output, job, [&](const documents::DocumentProgress& done) { progress.show(done); },
        signalStop.token());
    progress.clear();
    if (journal && !journal->error().isEmpty())
        WriteLine(console.err, QStringLiteral("quorvel-cli：") + journal->error() +
                                   QStringLiteral("，中断后将无法续传。"));

    if (result.outcome == DocumentOutcome::Translated) {
        if (request.outputFile && !saved.commit())
            return outputFileFailed();
        if (journal) {
            journal->remove();
            if (!request.quiet)
                WriteLine(console.err, ResumeSummary(result.progress, false));
        }
        return kSucceeded;
    }
    // Standard output that cannot be written is told once, when the program ends.
    if (result.outcome != DocumentOutcome::OutputFailed || request.outputFile)
        WriteReceivedLine(console.err, console.errIsTerminal, result.message);
    // Said once there is something to go on with.
    if (journal && result.progress.charactersTranslated + result.progress.charactersResumed > 0)
        WriteLine(console.err, ResumeSummary(result.progress, true));
    return StatusOf(result.outcome);
}

} // namespace cli
