#include "cli/DocumentDisplay.h"

#include "cli/CliConsole.h"
#include "cli/CliTexts.h"

namespace cli {

namespace {
// Back to the start of the line, and the rest of the line erased.
constexpr char kRedraw[] = "\r\x1b[K";
} // namespace

void ProgressLine::show(const documents::DocumentProgress& progress) {
    // A text that goes out in one request is done before a line would tell anything.
    if (!shown_ || (progress.requestsTotal && *progress.requestsTotal <= 1))
        return;
    err_.write(kRedraw + (kErrorPrefix + documents::FormatProgress(progress)).toUtf8());
    drawn_ = true;
}

void ProgressLine::clear() {
    if (drawn_)
        err_.write(kRedraw);
    drawn_ = false;
}

TerminalSafeOutput::TerminalSafeOutput(QIODevice& target, ProgressLine* progress)
    : target_(target), progress_(progress) {
    open(QIODevice::WriteOnly);
}

qint64 TerminalSafeOutput::writeData(const char* data, qint64 size) {
    const QByteArray shown =
        NeutraliseControlCharacters(QString::fromUtf8(data, static_cast<qsizetype>(size))).toUtf8();
    if (progress_)
        progress_->clear();
    if (target_.write(shown) == shown.size())
        return size;
    setErrorString(target_.errorString());
    return -1;
}

} // namespace cli
