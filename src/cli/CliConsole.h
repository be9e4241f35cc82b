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
};

// Writes `text` in UTF-8 with LF line ends (a CR LF becomes LF), followed by one LF.
void WriteLine(QIODevice& device, const QString& text);

// Writes `text` in UTF-8 as it is, without a line end (a prompt).
void WritePrompt(QIODevice& device, const QString& text);

} // namespace cli
