#include "cli/CliArguments.h"

#include "frontend/Translation.h"

namespace cli {

namespace {

QString Quoted(const QString& argument) {
    return QStringLiteral("“") + argument + QStringLiteral("”");
}

// The arguments read so far, before they are checked against each other.
struct Collected {
    TranslateRequest translate;
    QStringList words;
    bool help = false;
    bool version = false;
    bool configure = false;
    bool http = false;
    bool https = false;
    bool codeGiven = false;
};

// The value of -s/-t/--source/--target: "-sEN", "--source=en" or the next argument.
std::optional<QString> OptionValue(const QString& argument, const QString& name,
                                   const QStringList& arguments, qsizetype& index) {
    if (name.size() == 2 && argument.size() > 2)
        return argument.mid(2);
    if (argument.size() > name.size()) // "--source=en"
        return argument.mid(name.size() + 1);
    if (index + 1 < arguments.size())
        return arguments[++index];
    return std::nullopt;
}

// Which code option `argument` is, by its name before any attached value; empty when none.
QString CodeOptionName(const QString& argument) {
    for (const char* name : {"--source", "--target"}) {
        QString option = QLatin1String(name);
        if (argument == option || argument.startsWith(option + u'='))
            return option;
    }
    if (argument.startsWith(QLatin1String("-s")) || argument.startsWith(QLatin1String("-t")))
        return argument.left(2);
    return {};
}

std::optional<UsageError> Collect(const QStringList& arguments, Collected& collected) {
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || argument == QLatin1String("-") || !argument.startsWith(u'-')) {
            collected.words += argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            collected.help = true;
        } else if (argument == QLatin1String("--version")) {
            collected.version = true;
        } else if (argument == QLatin1String("--configure")) {
            collected.configure = true;
        } else if (argument == QLatin1String("--https")) {
            collected.https = true;
        } else if (argument == QLatin1String("--http")) {
            collected.http = true;
        } else if (const QString name = CodeOptionName(argument); !name.isEmpty()) {
            const std::optional<QString> value = OptionValue(argument, name, arguments, i);
            if (!value)
                return UsageError{QStringLiteral("选项%1需要一个语言代号。").arg(Quoted(name))};
            const bool source = name == QLatin1String("-s") || name == QLatin1String("--source");
            (source ? collected.translate.from : collected.translate.to) =
                frontend::LanguageCode(*value);
            collected.codeGiven = true;
        } else {
            return UsageError{QStringLiteral("未知选项%1。若要翻译以“-”开头的文本，请在文本前加上 "
                                             "--。")
                                  .arg(Quoted(argument))};
        }
    }
    return std::nullopt;
}

} // namespace

CliRequest ParseArguments(const QStringList& arguments) {
    Collected collected;
    if (std::optional<UsageError> error = Collect(arguments, collected))
        return *error;
    if (collected.help)
        return HelpRequest{};
    if (collected.version)
        return VersionRequest{};
    if (collected.http && collected.https)
        return UsageError{QStringLiteral("--https和--http不能同时使用。")};
    if (collected.configure) {
        if (collected.http || collected.https || collected.codeGiven || !collected.words.isEmpty())
            return UsageError{QStringLiteral("--configure不能与其他选项或文本同时使用。")};
        return ConfigureRequest{};
    }
    TranslateRequest request = collected.translate;
    if (collected.http || collected.https)
        request.https = collected.https;
    if (!collected.words.isEmpty())
        request.text = collected.words.join(u' ');
    return request;
}

} // namespace cli
