#pragma once

#include "cli/CliArguments.h"
#include "documents/DocumentJournal.h"
#include "documents/DocumentProgress.h"
#include "documents/DocumentSize.h"

#include <memory>

class QIODevice;

namespace cli {

// The journal of a document read from a file (-i) into a file (-o): its earlier answers unless
// --restart. None for other documents: standard input cannot be told from another, standard
// output is streamed, and a device named by -o is written into, never replaced.
std::unique_ptr<documents::DocumentJournal> JournalFor(const TranslateRequest& request,
                                                       QIODevice& input, qsizetype maxRequestBytes);

// The line at the end of a journaled document, or at its stop: what this run sent, what the
// journal saved, and on a stop how to go on.
QString ResumeSummary(const documents::DocumentProgress& progress, bool stopped);

// What --dry-run tells: requests, characters and the time at `requestsPerSecond`.
QString DryRunSummary(const documents::DocumentSize& size, double requestsPerSecond);

} // namespace cli
