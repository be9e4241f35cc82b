#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace cli {

// Translate TEXT, or the file of -i, or standard input; into standard output or the file of -o.
struct TranslateRequest {
    QString from = QStringLiteral("auto"); // trimmed of blanks and lower-cased, like the window's
    QString to = QStringLiteral("zh");
    std::optional<bool> https;         // unset: the choice stored in the settings file
    std::optional<QString> text;       // the words joined by blanks; unset: the input file or stdin
    std::optional<QString> inputFile;  // unset: standard input
    std::optional<QString> outputFile; // unset: standard output
    std::optional<double> requestsPerSecond; // unset: the settings file's QPS, or 1
    bool quiet = false;                      // no progress line
    bool restart = false; // a document into -o starts over rather than resume where it stopped
    bool dryRun = false;  // only tell what the document would send
};
struct ConfigureRequest {};
struct HelpRequest {};
struct VersionRequest {};
struct UsageError {
    QString message;
};

using CliRequest =
    std::variant<TranslateRequest, ConfigureRequest, HelpRequest, VersionRequest, UsageError>;

// As the file of -i or -o, or as the only text: standard input or output.
inline const QString kStandardStream = QStringLiteral("-");

// Reads the arguments that follow the program's name.
CliRequest ParseArguments(const QStringList& arguments);

} // namespace cli
