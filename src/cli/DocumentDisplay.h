#pragma once

#include "documents/DocumentProgress.h"

#include <QIODevice>

namespace cli {

// The progress line on a terminal: redrawn in place, cleared at the end. Draws nothing when
// `shown` is false (standard error is no terminal, or --quiet), nor for a text that goes out in
// one request.
class ProgressLine {
public:
    ProgressLine(QIODevice& err, bool shown) : err_(err), shown_(shown) {}
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const documents::DocumentProgress& progress);
    void clear();

private:
    QIODevice& err_;
    bool shown_;
    bool drawn_ = false;
};

// Writes to `target`, a terminal, what it is given, UTF-8 text in whole characters, with the
// control and format characters that a terminal would act on shown as U+FFFD
// (NeutraliseControlCharacters). The progress line, when there is one, is cleared first, so that
// no line is written after it; it is drawn again at its next update.
class TerminalSafeOutput : public QIODevice {
public:
    explicit TerminalSafeOutput(QIODevice& target, ProgressLine* progress = nullptr);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* /*data*/, qint64 /*maxSize*/) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    QIODevice& target_;
    ProgressLine* progress_;
};

} // namespace cli
