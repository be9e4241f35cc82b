#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace documents {

// How far a document has come. The totals are known once the whole input has been read (at
// once for a file).
struct DocumentProgress {
    qint64 requestsDone = 0;
    std::optional<qint64> requestsTotal;
    qint64 linesDone = 0; // written to the output
    std::optional<qint64> linesTotal;
    double requestsPerSecond = 0; // since the first request
    std::optional<std::chrono::seconds> timeLeft;
    // Characters of the requests answered in this run, and of those an earlier run's answers
    // stood for (DocumentJob::answers).
    qint64 charactersTranslated = 0;
    qint64 charactersResumed = 0;
};

// A time as the progress line gives it: "3秒", "3分21秒", "2小时30分".
QString FormatDuration(std::chrono::seconds time);

// The one progress line, e.g. "已完成请求 12/40，行 340/1200，9.8次/秒，剩余约 3秒".
QString FormatProgress(const DocumentProgress& progress);

} // namespace documents
