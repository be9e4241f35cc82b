#include "documents/DocumentProgress.h"

namespace documents {

namespace {

QString Count(qint64 done, const std::optional<qint64>& total) {
    return total ? QStringLiteral("%1/%2").arg(done).arg(*total) : QString::number(done);
}

} // namespace

QString FormatDuration(std::chrono::seconds time) {
    const qint64 seconds = time.count();
    if (seconds < 60)
        return QStringLiteral("%1秒").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1分%2秒").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("%1小时%2分").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

QString FormatProgress(const DocumentProgress& progress) {
    QString line = QStringLiteral("已完成请求 ") +
                   Count(progress.requestsDone, progress.requestsTotal) + QStringLiteral("，行 ") +
                   Count(progress.linesDone, progress.linesTotal) + QStringLiteral("，") +
                   QString::number(progress.requestsPerSecond, 'f', 1) + QStringLiteral("次/秒");
    if (progress.timeLeft)
        line += QStringLiteral("，剩余约 ") + FormatDuration(*progress.timeLeft);
    return line;
}

} // namespace documents
