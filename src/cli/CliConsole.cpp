#include "cli/CliConsole.h"

#include <QIODevice>

namespace cli {

void WriteLine(QIODevice& device, const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    device.write(line.toUtf8() + '\n');
}

QString NeutraliseControlCharacters(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool lineBreak =
            unit == u'\n' || (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n');
        if ((unit < 0x20 && unit != u'\t' && !lineBreak) || (unit >= 0x7F && unit <= 0x9F))
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

void WriteReceivedLine(QIODevice& device, bool terminal, const QString& text) {
    WriteLine(device, terminal ? NeutraliseControlCharacters(text) : text);
}

void WritePrompt(QIODevice& device, const QString& text) {
    device.write(text.toUtf8());
}

} // namespace cli
