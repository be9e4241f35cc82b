#include "documents/BatchBuilder.h"

#include "documents/LineCut.h"

namespace documents {

namespace {

// A batch is handed on at this many items, so that a long run of blank lines cannot pile up.
constexpr std::size_t kMaxItems = 4096;

} // namespace

BatchBuilder::BatchBuilder(qsizetype maxBytes) : maxBytes_(maxBytes) {}

void BatchBuilder::add(const LinePiece& piece, std::deque<RequestBatch>& ready) {
    lineSoFar_ += piece.text;
    while (Utf8LongerThan(lineSoFar_, maxBytes_)) {
        const Cut cut = FindCut(lineSoFar_, maxBytes_);
        addPiece(lineSoFar_.first(cut.pieceEnd),
                 lineSoFar_.sliced(cut.pieceEnd, cut.restStart - cut.pieceEnd), ready);
        lineSoFar_.remove(0, cut.restStart);
    }
    if (piece.lineEnds) {
        addPiece(std::move(lineSoFar_), QStringLiteral("\n"), ready);
        lineSoFar_.clear();
    }
}

void BatchBuilder::finish(std::deque<RequestBatch>& ready) {
    if (!lineSoFar_.isEmpty())
        add({}, ready);
    close(ready);
}

void BatchBuilder::addPiece(QString text, QString after, std::deque<RequestBatch>& ready) {
    if (IsBlank(text)) {
        open_.items.push_back({false, std::move(text), std::move(after)});
    } else {
        const qsizetype bytes = Utf8Length(text);
        if (openBytes_ > 0 && openBytes_ + 1 + bytes > maxBytes_)
            close(ready);
        if (openBytes_ > 0) {
            open_.q += QLatin1Char('\n');
            ++openBytes_;
        }
        open_.q += text;
        openBytes_ += bytes;
        open_.items.push_back({true, {}, std::move(after)});
    }
    if (open_.items.back().after == u'\n')
        ++open_.lines;
    if (open_.items.size() >= kMaxItems)
        close(ready);
}

void BatchBuilder::close(std::deque<RequestBatch>& ready) {
    if (open_.items.empty())
        return;
    ready.push_back(std::move(open_));
    open_ = {};
    openBytes_ = 0;
}

} // namespace documents
