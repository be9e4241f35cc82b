#pragma once

#include "documents/TranslateDocument.h"

#include <QString>

class QIODevice;

namespace documents {

// Characters as the service counts them: a pair of surrogates is one.
qint64 CountCharacters(const QString& text);

// What a document would send, without sending it.
struct DocumentSize {
    DocumentOutcome outcome = DocumentOutcome::Translated; // or InputUnreadable
    QString message;
    qint64 requests = 0;
    qint64 characters = 0; // of all requests
};

// Reads `input` to its end and splits it as TranslateDocument would.
DocumentSize MeasureDocument(QIODevice& input, qsizetype maxRequestBytes);

} // namespace documents
