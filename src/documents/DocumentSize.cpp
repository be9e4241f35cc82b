#include "documents/DocumentSize.h"

#include "documents/DocumentBatches.h"

#include <algorithm>

namespace documents {

qint64 CountCharacters(const QString& text) {
    return std::count_if(text.begin(), text.end(), [](QChar c) { return !c.isLowSurrogate(); });
}

DocumentSize MeasureDocument(QIODevice& input, qsizetype maxRequestBytes) {
    DocumentSize size;
    try {
        DocumentBatches batches(input, maxRequestBytes);
        while (const std::optional<RequestBatch> batch = batches.next()) {
            if (batch->q.isEmpty() && !batch->wholeText)
                continue;
            ++size.requests;
            size.characters += CountCharacters(batch->q);
        }
    } catch (const InputError& error) {
        return {DocumentOutcome::InputUnreadable, error.reason()};
    }
    return size;
}

} // namespace documents
