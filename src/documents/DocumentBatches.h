#pragma once

#include "documents/BatchBuilder.h"
#include "documents/InputLines.h"

#include <deque>
#include <optional>

namespace documents {

// The requests of a document, read from the device as they are asked for. An input that fits
// one request goes out whole, as read (without one final line end), exactly as a single
// translation would send it; a longer one in batches of lines (BatchBuilder).
class DocumentBatches {
public:
    // Reads the start of the device. Throws InputError.
    DocumentBatches(QIODevice& input, qsizetype maxBytes);

    // The next batch; nullopt at the end of the document. Throws InputError.
    std::optional<RequestBatch> next();
    // True once the whole input has been read.
    bool inputEnded() const { return ended_; }

private:
    std::optional<InputLines> lines_;
    BatchBuilder builder_;
    std::deque<RequestBatch> ready_;
    bool ended_ = false;
};

// The batch of an input sent whole: q is `text`, one item per line.
RequestBatch WholeTextBatch(const QString& text);

} // namespace documents
