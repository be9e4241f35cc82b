#include "cli/CliConsole.h"

#include <QIODevice>

namespace cli {

void WriteLine(QIODevice& device, const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    device.write(line.toUtf8() + '\n');
}

void WritePrompt(QIODevice& device, const QString& text) {
    device.write(text.toUtf8());
}

} // namespace cli
