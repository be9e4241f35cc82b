#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace cli {

// Translate TEXT, or standard input when no TEXT is given.
struct TranslateRequest {
    QString from = QStringLiteral("auto"); // trimmed of blanks and lower-cased, like the window's
    QString to = QStringLiteral("zh");
    std::optional<bool> https;   // unset: the choice stored in the settings file
    std::optional<QString> text; // the words joined by blanks; unset: standard input
};
struct ConfigureRequest {};
struct HelpRequest {};
struct VersionRequest {};
struct UsageError {
    QString message;
};

using CliRequest =
    std::variant<TranslateRequest, ConfigureRequest, HelpRequest, VersionRequest, UsageError>;

// Reads the arguments that follow the program's name.
CliRequest ParseArguments(const QStringList& arguments);

} // namespace cli
