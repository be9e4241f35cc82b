#include "documents/DocumentBatches.h"

#include "documents/DocumentTexts.h"
#include "documents/LineCut.h"

#include <QStringDecoder>

namespace documents {

namespace {

// The text as one translation sends it: one final line end dropped (text files end with one).
QString AsOneText(QByteArray bytes) {
    if (bytes.endsWith('\n'))
        bytes.chop(bytes.endsWith("\r\n") ? 2 : 1);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        throw InputError::NotUtf8();
    return text;
}

} // namespace

RequestBatch WholeTextBatch(const QString& text) {
    RequestBatch batch;
    batch.q = text;
    batch.wholeText = true;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const bool blank = IsBlank(line);
        batch.items.push_back({!blank, blank ? line.toString() : QString(), QStringLiteral("\n")});
        ++batch.lines;
    }
    return batch;
}

DocumentBatches::DocumentBatches(QIODevice& input, qsizetype maxBytes) : builder_(maxBytes) {
    // Enough to tell whether the input fits one request: a final CR LF and a byte-order mark
    // do not count.
    QByteArray start = ReadUpTo(input, maxBytes + 6);
    if (start.size() < maxBytes + 6) {
        const QString text = AsOneText(start);
        // The service would only answer 54000 for it.
        if (text.trimmed().isEmpty())
            throw InputError(kNothingToTranslate);
        if (Utf8Length(text) <= maxBytes) {
            ready_.push_back(WholeTextBatch(text));
            ended_ = true;
            return;
        }
    }
    lines_.emplace(input, std::move(start));
}

std::optional<RequestBatch> DocumentBatches::next() {
    while (ready_.empty() && !ended_) {
        if (const std::optional<LinePiece> piece = lines_->next()) {
            builder_.add(*piece, ready_);
        } else {
            builder_.finish(ready_);
            ended_ = true;
        }
    }
    if (ready_.empty())
        return std::nullopt;
    RequestBatch batch = std::move(ready_.front());
    ready_.pop_front();
    return batch;
}

} // namespace documents
