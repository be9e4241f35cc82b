#include "documents/RequestBatch.h"

#include <algorithm>

namespace documents {

std::optional<QString> ComposeOutput(const RequestBatch& batch, const QStringList& results) {
    const auto sent = static_cast<qsizetype>(std::count_if(
        batch.items.begin(), batch.items.end(), [](const BatchItem& item) { return item.sent; }));
    const auto items = static_cast<qsizetype>(batch.items.size());
    const bool onePerItem = batch.wholeText && results.size() == items && items != sent;
    if (results.size() != sent && !onePerItem)
        return std::nullopt;

    QString output;
    qsizetype next = 0;
    for (const BatchItem& item : batch.items) {
        if (item.sent)
            output += results[next++];
        else
            output += item.text;
        if (onePerItem && !item.sent)
            ++next; // a blank line keeps its own text, not the service's
        output += item.after;
    }
    return output;
}

} // namespace documents
