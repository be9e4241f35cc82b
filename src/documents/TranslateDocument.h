#pragma once

#include "documents/AnswerStore.h"
#include "documents/BatchExchange.h"
#include "documents/DocumentProgress.h"

#include <QString>

#include <functional>
#include <stop_token>

class QIODevice;

namespace documents {

inline constexpr qsizetype kMaxRequestBytes = modQuorvel::kLongestQuery;

struct DocumentJob {
    Account account;
    double requestsPerSecond = 1; // the account's rate: never exceeded over any one second
    qsizetype maxRequestBytes = kMaxRequestBytes;
    // Answers of earlier runs, used in place of their requests, and where each new one is kept
    // as it arrives; none when null.
    AnswerStore* answers = nullptr;
};

enum class DocumentOutcome {
    Translated,
    ServiceError,    // the service refused with a final error: message is its line
    RequestFailed,   // a request failed for good, or a reply was not understood
    InputUnreadable, // the input is not UTF-8 text, or could not be read
    OutputFailed,    // the output could not be written
    Cancelled,       // the caller's stop token
};

struct DocumentResult {
    DocumentOutcome outcome = DocumentOutcome::Translated;
    QString message;   // why it did not end with Translated, for the user
    QString errorCode; // the service's code, for ServiceError
    DocumentProgress progress;
};

using ProgressReport = std::function<void(const DocumentProgress&)>;

// Translates `input` (UTF-8 text; LF or CR LF line ends) line for line into `output` (UTF-8,
// LF): as many lines as the input, in order, blank lines in place. A text that fits one request
// goes out whole in one request, as a single translation sends it. A longer one is read, sent
// and written as it goes, at most `requestsPerSecond` requests in any second, with several
// under way when the latency needs it; lines are written as soon as all before them are. Holds
// only the requests in flight, whatever the document's size. On a failure it stops at once:
// what was written by then stays written (write to a file that is kept only on success).
// `report` is called on this thread as the work goes on, and once at the end.
DocumentResult TranslateDocument(QIODevice& input, QIODevice& output, const DocumentJob& job,
                                 const ProgressReport& report = {},
                                 const std::stop_token& stop = {});

} // namespace documents
