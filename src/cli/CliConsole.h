#pragma once

#include <QString>

class QIODevice;

namespace cli {

// Where quorvel-cli reads and writes: the standard streams in the program, buffers in tests.
struct CliConsole {
    QIODevice& in;
    QIODevice& out;
    QIODevice& err;
    // Standard input's descriptor when a person types there at a terminal, otherwise -1.
    int terminal = -1;
    // Whether out and err are shown on a terminal, where a reply's control characters could
    // move the cursor, retitle the window or hide text.
    bool outIsTerminal = false;
    bool errIsTerminal = false;
    // Whether Ctrl+C, a hang-up or kill during a translation stops it cleanly (the real program;
    // tests running in-process leave the signals alone).
    bool stopOnSignals = false;
};

// Writes `text` in UTF-8 with LF line ends (a CR LF becomes LF), followed by one LF.
void WriteLine(QIODevice& device, const QString& text);

// WriteLine for standard error: every line of `text` after "quorvel-cli：".
void WriteError(QIODevice& device, const QString& text);

// Every control character but tab and the line breaks (C0, DEL, C1, and so every escape
// sequence) and every format character (bidirectional overrides and isolates, zero-width
// characters, the byte order mark) as U+FFFD: what a terminal shows of a text from elsewhere.
QString NeutraliseControlCharacters(const QString& text);

// WriteLine for a text from elsewhere (a reply of the service): on a terminal with its control
// and format characters neutralised (NeutraliseControlCharacters); anywhere else unchanged.
void WriteReceivedLine(QIODevice& device, bool terminal, const QString& text);
// WriteError for a text from elsewhere, neutralised on a terminal as WriteReceivedLine does.
void WriteReceivedError(QIODevice& device, bool terminal, const QString& text);

// Writes "quorvel-cli：" and `text` in UTF-8, without a line end: a prompt on standard error.
void WritePrompt(QIODevice& device, const QString& text);

} // namespace cli
