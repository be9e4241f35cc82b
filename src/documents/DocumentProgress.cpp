#include "documents/DocumentProgress.h"

#include "documents/DocumentTexts.h"

namespace documents {

namespace {

QString Count(qint64 done, const std::optional<qint64>& total) {
    return total ? QStringLiteral("%1/%2").arg(done).arg(*total) : QString::number(done);
}

} // namespace

QString FormatDuration(std::chrono::seconds time) {
    const qint64 seconds = time.count();
    if (seconds < 60)
        return kSeconds.arg(seconds);
    if (seconds < 3600)
        return kMinutesSeconds.arg(seconds / 60).arg(seconds % 60);
    return kHoursMinutes.arg(seconds / 3600).arg(seconds % 3600 / 60);
}

QString FormatProgress(const DocumentProgress& progress) {
    QString line = kProgressLine.arg(Count(progress.requestsDone, progress.requestsTotal),
                                     Count(progress.linesDone, progress.linesTotal),
                                     QString::number(progress.requestsPerSecond, 'f', 1));
    if (progress.timeLeft)
        line += kProgressTimeLeft.arg(FormatDuration(*progress.timeLeft));
    return line;
}

} // namespace documents
