#pragma once

#include "documents/RequestBatch.h"

#include <QString>

#include <optional>
#include <span>

namespace documents {

// One answered batch of a document: its place in the document's order of batches, and its
// output text with the translations in place.
struct KeptAnswer {
    qint64 index = 0;
    const RequestBatch* batch = nullptr;
    QString output;
};

// Answers kept from earlier runs of the same document, so that a run after a stop sends only
// what was not answered yet (DocumentJournal).
class AnswerStore {
public:
    virtual ~AnswerStore() = default;

    // The output of the `index`th batch when an earlier run kept it for this very batch.
    virtual std::optional<QString> answered(qint64 index, const RequestBatch& batch) = 0;
    // Keeps answers that have just arrived; they are kept for good when it returns. A store
    // that cannot keep them any more says so in its own way: the document goes on.
    virtual void keep(std::span<const KeptAnswer> answers) = 0;
};

} // namespace documents
