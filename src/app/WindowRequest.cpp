#include "app/WindowRequest.h"

#include "documents/TranslateDocument.h"

#include <QBuffer>

namespace app {

namespace {

frontend::TranslationResult TranslateWhole(const WindowRequest& request) {
    using Outcome = frontend::TranslationResult::Outcome;
    QBuffer input;
    input.setData(request.source.toUtf8());
    input.open(QIODevice::ReadOnly);
    QBuffer output;
    output.open(QIODevice::WriteOnly);
    documents::DocumentJob job;
    job.account = {request.from,
                   request.to,
                   request.credentials.strAppID,
                   request.credentials.strSecretKey,
                   request.https,
                   request.connection};
    job.requestsPerSecond = request.requestsPerSecond;
    const documents::DocumentResult result = documents::TranslateDocument(input, output, job);
    using documents::DocumentOutcome;
    switch (result.outcome) {
    case DocumentOutcome::Translated:
        break;
    case DocumentOutcome::ServiceError:
        return {Outcome::ServiceError, result.message};
    case DocumentOutcome::RequestFailed:
    case DocumentOutcome::InputUnreadable:
    case DocumentOutcome::OutputFailed:
    case DocumentOutcome::Cancelled:
        return {Outcome::Failed, result.message};
    }
    // Every translated line ends in a line break; the source's last line may not.
    QString text = QString::fromUtf8(output.data());
    if (text.endsWith(u'\n') && !request.source.endsWith(u'\n'))
        text.chop(1);
    return {Outcome::Translated, text};
}

} // namespace

frontend::TranslationResult RunWindowRequest(const WindowRequest& request) {
    if (request.whole)
        return TranslateWhole(request);
    modQuorvel::ConnectionOptions options = request.connection;
    options.connection = request.kept.get();
    return frontend::Translate(request.source, request.from, request.to, request.credentials,
                               request.https, options);
}

} // namespace app
