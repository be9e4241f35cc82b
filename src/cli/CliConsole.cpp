#include "cli/CliConsole.h"

#include "cli/CliTexts.h"

#include <QIODevice>
#include <QStringList>

namespace cli {

void WriteLine(QIODevice& device, const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    device.write(line.toUtf8() + '\n');
}

void WriteError(QIODevice& device, const QString& text) {
    QStringList lines =
        QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(u'\n');
    for (QString& line : lines)
        line.prepend(kErrorPrefix);
    WriteLine(device, lines.join(u'\n'));
}

namespace {

// What a terminal acts on rather than shows: control characters (C0 but tab, DEL, C1, and so
// every escape sequence) and format characters (bidirectional embeddings, overrides and
// isolates, zero-width spaces and joiners, the byte order mark, tags), which reorder or hide the
// text around them.
bool ActsOnTerminal(char32_t code) {
    return (code < 0x20 && code != u'\t') || (code >= 0x7F && code <= 0x9F) ||
           QChar::category(code) == QChar::Other_Format;
}

} // namespace

QString NeutraliseControlCharacters(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        const bool pair =
            unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const char32_t code = pair ? QChar::surrogateToUcs4(unit, text[i + 1]) : unit.unicode();
        const bool lineBreak =
            unit == u'\n' || (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n');
        if (ActsOnTerminal(code) && !lineBreak)
            shown += QChar::ReplacementCharacter;
        else
            shown += QStringView(text).mid(i, pair ? 2 : 1);
        i += pair ? 1 : 0;
    }
    return shown;
}

void WriteReceivedLine(QIODevice& device, bool terminal, const QString& text) {
    WriteLine(device, terminal ? NeutraliseControlCharacters(text) : text);
}

void WriteReceivedError(QIODevice& device, bool terminal, const QString& text) {
    WriteError(device, terminal ? NeutraliseControlCharacters(text) : text);
}

void WritePrompt(QIODevice& device, const QString& text) {
    device.write((kErrorPrefix + text).toUtf8());
}

} // namespace cli
