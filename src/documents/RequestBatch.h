#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace documents {

// One stretch of the document in output order: a text that went into the request, or one that
// is written as it is (a blank line, blanks between the pieces of a long line).
struct BatchItem {
    bool sent = false;
    QString text;  // the item's own text when it is not sent
    QString after; // written after the item: "\n" where a line ends, the blanks at a cut
};

// The lines of one request and what lies between them. A batch with an empty q is written
// without any request (nothing but blank lines).
struct RequestBatch {
    QString q; // the sent items joined by "\n", or the whole input as read
    std::vector<BatchItem> items;
    qint64 lines = 0; // lines that end in this batch
    // q is the whole input as read: it holds the blank lines too, which the service may answer
    // with results of their own.
    bool wholeText = false;
};

// The batch's output text with `results` placed in order, one per sent item (or, for the
// whole input, one per item); nullopt when the number of results does not match.
std::optional<QString> ComposeOutput(const RequestBatch& batch, const QStringList& results);

} // namespace documents
