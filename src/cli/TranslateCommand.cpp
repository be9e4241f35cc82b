#include "cli/TranslateCommand.h"

#include "cli/CliTexts.h"
#include "cli/DocumentDisplay.h"
#include "cli/DocumentResume.h"
#include "cli/ExitStatus.h"
#include "cli/InputFile.h"
#include "cli/OutputFile.h"
#include "cli/SignalStop.h"
#include "client/ServiceErrors.h"
#include "documents/TranslateDocument.h"
#include "frontend/Translation.h"
#include "frontend/UserTexts.h"
#include "platform/ErrorNumberText.h"
#include "settings/QuorvelSettings.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

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
                              const settings::QuorvelSettings& settings, double requestsPerSecond) {
    documents::DocumentJob job;
    job.account = {request.from,
                   request.to,
                   credentials.strAppID,
                   credentials.strSecretKey,
                   request.https.value_or(settings.https()),
                   frontend::ConnectionOptionsFor(settings)};
    job.requestsPerSecond = requestsPerSecond;
    return job;
}

// Why `file` cannot be opened, in Chinese; nothing when it is open.
std::optional<QString> OpenForReading(QFile& file) {
    errno = 0;
    if (file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Qt opens a folder and closes it again, leaving no error number.
    const int error = errno != 0 ? errno : QFileInfo(file).isDir() ? EISDIR : 0;
    return error != 0 ? platform::ErrorNumberText(error) : kUnknownReason;
}

// Standard input read from a terminal: the person is told how to end the text.
void AskForText(const TranslateRequest& request, const CliConsole& console) {
    if (!request.text && !request.inputFile && console.terminal >= 0)
        WriteError(console.err, kTextPrompt);
}

int DryRun(const TranslateRequest& request, const CliConsole& console, QIODevice& input,
           double requestsPerSecond) {
    AskForText(request, console);
    const documents::DocumentSize size =
        documents::MeasureDocument(input, documents::kMaxRequestBytes);
    if (size.outcome != DocumentOutcome::Translated) {
        WriteError(console.err, size.message);
        return StatusOf(size.outcome);
    }
    WriteLine(console.out, DryRunSummary(size, requestsPerSecond));
    return kSucceeded;
}

int OutputFileFailed(const TranslateRequest& request, const CliConsole& console,
                     const OutputFile& outputFile) {
    WriteError(console.err, OutputUnwritable(*request.outputFile, outputFile.errorText()));
    return kOutputFailed;
}

// After the document: the output file put in place, the journal removed or kept, and what the
// person needs to know said.
int Conclude(const documents::DocumentResult& result, const TranslateRequest& request,
             const CliConsole& console, documents::DocumentJournal* journal,
             OutputFile* outputFile) {
    if (journal != nullptr && !journal->error().isEmpty())
        WriteError(console.err, JournalUnwritable(journal->error()));
    if (result.outcome == DocumentOutcome::Translated) {
        if (outputFile != nullptr && !outputFile->commit())
            return OutputFileFailed(request, console, *outputFile);
        if (journal != nullptr) {
            journal->remove();
            if (!request.quiet)
                WriteError(console.err, ResumeSummary(result.progress, false));
        }
        return kSucceeded;
    }
    // Standard output that cannot be written is told once, when the program ends.
    if (result.outcome != DocumentOutcome::OutputFailed || request.outputFile)
        WriteReceivedError(console.err, console.errIsTerminal, result.message);
    if (const std::optional<QString> advice = modQuorvel::ServiceErrorAdvice(result.errorCode))
        WriteError(console.err, *advice);
    // Said once there is something to go on with.
    if (journal != nullptr &&
        result.progress.charactersTranslated + result.progress.charactersResumed > 0)
        WriteError(console.err, ResumeSummary(result.progress, true));
    return StatusOf(result.outcome);
}

} // namespace

int RunTranslate(const TranslateRequest& request, const CliConsole& console,
                 const QString& settingsPath) {
    const settings::QuorvelSettings settings(settingsPath);
    const std::optional<modStrHexByte::Credentials> credentials = settings.credentials();
    if (!credentials && !request.dryRun) {
        WriteError(console.err, frontend::kNoCredentials);
        WriteError(console.err, kRunConfigure);
        return kNoCredentials;
    }
    const std::optional<double> requestsPerSecond =
        request.requestsPerSecond ? request.requestsPerSecond : settings.requestsPerSecond();
    if (!requestsPerSecond) {
        WriteError(console.err, StoredRateRefused());
        return kUsageError;
    }

    // Declared first, so that on a signal it ends the program after the rest has cleaned up.
    // Started once the input and an output written in place are open: opening a FIFO waits for
    // its other end, and a signal must still end that wait.
    std::optional<SignalStop> signalStop;

    QBuffer words;
    InputFile file;
    QIODevice* input = &console.in;
    if (request.text) {
        words.setData(request.text->toUtf8());
        words.open(QIODevice::ReadOnly);
        input = &words;
    } else if (request.inputFile) {
        file.setFileName(*request.inputFile);
        if (const std::optional<QString> why = OpenForReading(file)) {
            WriteError(console.err, InputUnreadable(*request.inputFile, *why));
            return kUsageError;
        }
        input = &file;
    }

    if (request.dryRun)
        return DryRun(request, console, *input, *requestsPerSecond);

    std::optional<OutputFile> outputFile;
    if (request.outputFile && !outputFile.emplace(*request.outputFile).openInPlace())
        return OutputFileFailed(request, console, *outputFile);
    signalStop.emplace(console.stopOnSignals);
    if (outputFile && !outputFile->openReplacement())
        return OutputFileFailed(request, console, *outputFile);

    AskForText(request, console);

    documents::DocumentJob job = JobFor(request, *credentials, settings, *requestsPerSecond);
    // What is answered is kept as it arrives, so that a stopped document goes on where it was.
    const std::unique_ptr<documents::DocumentJournal> journal =
        JournalFor(request, *input, job.maxRequestBytes);
    job.answers = journal.get();

    ProgressLine progress(console.err, console.errIsTerminal && !request.quiet);
    QIODevice* output = outputFile ? &outputFile->device() : &console.out;
    std::optional<TerminalSafeOutput> onTerminal;
    if (outputFile ? outputFile->isTerminal() : console.outIsTerminal)
        output = &onTerminal.emplace(*output, &progress);

    const documents::DocumentResult result = documents::TranslateDocument(
        *input, *output, job, [&](const documents::DocumentProgress& done) { progress.show(done); },
        signalStop->token());
    progress.clear();
    return Conclude(result, request, console, journal.get(), outputFile ? &*outputFile : nullptr);
}

} // namespace cli
