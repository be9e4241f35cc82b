#include "cli/CliHelp.h"

#include "cli/CliOptions.h"
#include "cli/CliTexts.h"

#include <QStringList>

namespace cli {

namespace {

// Where an option's description starts, and a status's; the column of the help's first lines.
constexpr qsizetype kDescriptionColumn = 22;
constexpr qsizetype kStatusIndent = 2;

// "  -s, --source 代号" in a column, then its description, continued under it.
QStringList OptionLines(const CliOption& option) {
    QString names = option.shortName ? QLatin1StringView(option.shortName) + QStringLiteral(", ")
                                     : QStringLiteral("    ");
    names = QStringLiteral("  ") + names + QLatin1StringView(option.longName);
    if (option.valueZh)
        names += u' ' + QString::fromUtf8(option.valueZh);
    // A Chinese character takes two columns of a terminal.
    qsizetype width = 0;
    for (const QChar c : names)
        width += c.unicode() >= 0x2E80 ? 2 : 1;
    QStringList lines;
    const QStringList description = QString::fromUtf8(option.helpZh).split(u'\n');
    for (qsizetype i = 0; i < description.size(); ++i) {
        const QString head = i == 0 ? names : QString();
        const qsizetype used = i == 0 ? width : 0;
        lines += head + QString(std::max<qsizetype>(kDescriptionColumn - used, 1), u' ') +
                 description[i];
    }
    return lines;
}

} // namespace

QString HelpText(const QString& settingsPath) {
    QStringList lines = {UsageText(), QString()};
    lines += HelpIntroduction();
    lines += {QString(), kOptionsHeading};
    for (const CliOption& option : CliOptions())
        lines += OptionLines(option);
    lines += QString();
    lines += LanguageCodesText();
    lines += {QString(), kExitStatusHeading};
    for (const ExitStatusEntry& entry : ExitStatuses())
        lines += QString(kStatusIndent, u' ') + QStringLiteral("%1").arg(entry.status, 3) +
                 QStringLiteral("  ") + QString::fromUtf8(entry.helpZh);
    lines += {QString(), SettingsFileText(settingsPath), CredentialsWhereText()};
    return lines.join(u'\n');
}

QString VersionText() {
    return QStringLiteral("quorvel-cli " QUORVEL_VERSION);
}

} // namespace cli
