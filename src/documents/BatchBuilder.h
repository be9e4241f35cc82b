#pragma once

#include "documents/InputLines.h"
#include "documents/RequestBatch.h"

#include <deque>

namespace documents {

// Packs lines into requests of at most `maxBytes` of UTF-8 in q: consecutive lines that are not
// blank, joined by "\n". A line longer than that is cut (FindCut) into pieces that are packed
// like lines, and whose translations are joined back into one line. Blank lines, and blank
// pieces, are kept in place without being sent.
class BatchBuilder {
public:
    explicit BatchBuilder(qsizetype maxBytes);

    // Takes the next line or piece of a line; appends the batches it completes to `ready`.
    void add(const LinePiece& piece, std::deque<RequestBatch>& ready);
    // At the end of the input: hands on the last batch.
    void finish(std::deque<RequestBatch>& ready);

private:
    void addPiece(QString text, QString after, std::deque<RequestBatch>& ready);
    void close(std::deque<RequestBatch>& ready);

    const qsizetype maxBytes_;
    RequestBatch open_;
    qsizetype openBytes_ = 0; // UTF-8 bytes of open_.q
    QString lineSoFar_;       // the uncut rest of a line that has not ended yet
};

} // namespace documents
