#include "cli/CliConsole.h"

#include <QIODevice>

namespace cli {

void WriteLine(QIODevice& device, const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    device.write(line.toUtf8() + '\n');
}

void WriteReceivedLine(QIODevice& device, bool terminal, const QString& text) {
    if (!terminal) {
        WriteLine(device, text);
        return;
    }
    QString shown = text;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const char16_t unit = shown[i].unicode();
        const bool lineBreak =
            unit == u'\n' || (unit == u'\r' && i + 1 < shown.size() && shown[i + 1] == u'\n');
        if ((unit < 0x20 && unit != u'\t' && !lineBreak) || (unit >= 0x7F && unit <= 0x9F))
            shown[i] = QChar::ReplacementCharacter;
    }
    WriteLine(device, shown);
}

void WritePrompt(QIODevice& device, const QString& text) {
    device.write(text.toUtf8());
}

} // namespace cli
