#include "cli/DocumentResume.h"

#include "cli/CliTexts.h"
#include "documents/InputLines.h"

#include <QFileInfo>
#include <QIODevice>

#include <cmath>

namespace cli {

std::unique_ptr<documents::DocumentJournal>
JournalFor(const TranslateRequest& request, QIODevice& input, qsizetype maxRequestBytes) {
    if (!request.inputFile || !request.outputFile || input.isSequential())
        return nullptr;
    const QFileInfo output(*request.outputFile);
    if (output.exists() && !output.isFile())
        return nullptr;
    const QString canonical = documents::CanonicalOutputPath(*request.outputFile);
    const QString path = documents::JournalPathFor(canonical);
    if (path.isEmpty())
        return nullptr;
    try {
        return std::make_unique<documents::DocumentJournal>(
            path,
            documents::RunIdentity(input, request.from, request.to, canonical, maxRequestBytes),
            !request.restart);
    } catch (const documents::InputError&) {
        return nullptr; // the document itself then says why the input cannot be read
    }
}

QString ResumeSummary(const documents::DocumentProgress& progress, bool stopped) {
    return ResumeSummaryText(progress.charactersTranslated, progress.charactersResumed, stopped);
}

QString DryRunSummary(const documents::DocumentSize& size, double requestsPerSecond) {
    const auto seconds =
        static_cast<qint64>(std::ceil(static_cast<double>(size.requests) / requestsPerSecond));
    return DryRunSummaryText(size.requests, size.characters, requestsPerSecond,
                             documents::FormatDuration(std::chrono::seconds(seconds)));
}

} // namespace cli
