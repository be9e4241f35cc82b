#include "cli/CliArguments.h"

#include "frontend/Translation.h"
#include "settings/QuorvelSettings.h"

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
    bool translateOptionGiven = false;
};

// The options that take a value, by their short and long names.
struct ValueOption {
    const char* shortName; // nullptr: none
    const char* longName;
};
constexpr ValueOption kSource{"-s", "--source"};
constexpr ValueOption kTarget{"-t", "--target"};
constexpr ValueOption kInput{"-i", "--input"};
constexpr ValueOption kOutput{"-o", "--output"};
constexpr ValueOption kRate{nullptr, "--qps"};
constexpr ValueOption kValueOptions[] = {kSource, kTarget, kInput, kOutput, kRate};

// The value option `argument` names, with the value attached to it ("-sEN", "--source=en") when
// there is one.
std::optional<std::pair<ValueOption, std::optional<QString>>>
MatchValueOption(const QString& argument) {
    for (const ValueOption& option : kValueOptions) {
        const QString longName = QLatin1String(option.longName);
        if (argument == longName)
            return std::pair(option, std::nullopt);
        if (argument.startsWith(longName + u'='))
            return std::pair(option, argument.mid(longName.size() + 1));
        if (option.shortName && argument.startsWith(QLatin1String(option.shortName)))
            return std::pair(option,
                             argument.size() > 2 ? std::optional(argument.mid(2)) : std::nullopt);
    }
    return std::nullopt;
}

std::optional<UsageError> Store(const ValueOption& option, const QString& value,
                                TranslateRequest& request) {
    const QString name = QLatin1String(option.longName);
    if (name == QLatin1String(kSource.longName))
        request.from = frontend::LanguageCode(value);
    else if (name == QLatin1String(kTarget.longName))
        request.to = frontend::LanguageCode(value);
    else if (name == QLatin1String(kInput.longName))
        request.inputFile = value;
    else if (name == QLatin1String(kOutput.longName))
        request.outputFile = value;
    else if (!(request.requestsPerSecond = settings::RequestsPerSecond(value)))
        return UsageError{
            QStringLiteral("--qps需要一个%1，而不是%2。").arg(AcceptedRates(), Quoted(value))};
    return std::nullopt;
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
        } else if (argument == QLatin1String("--quiet") || argument == QLatin1String("-q")) {
            collected.translate.quiet = true;
            collected.translateOptionGiven = true;
        } else if (argument == QLatin1String("--restart")) {
            collected.translate.restart = true;
            collected.translateOptionGiven = true;
        } else if (argument == QLatin1String("--dry-run")) {
            collected.translate.dryRun = true;
            collected.translateOptionGiven = true;
        } else if (const auto match = MatchValueOption(argument)) {
            const auto& [option, attached] = *match;
            std::optional<QString> value = attached;
            if (!value && i + 1 < arguments.size())
                value = arguments[++i];
            const QString name =
                QLatin1String(option.shortName ? option.shortName : option.longName);
            if (!value)
                return UsageError{QStringLiteral("选项%1需要一个值。").arg(Quoted(name))};
            if (std::optional<UsageError> error = Store(option, *value, collected.translate))
                return error;
            collected.translateOptionGiven = true;
        } else {
            return UsageError{QStringLiteral("未知选项%1。若要翻译以“-”开头的文本，请在文本前加上 "
                                             "--。")
                                  .arg(Quoted(argument))};
        }
    }
    return std::nullopt;
}

} // namespace

QString AcceptedRates() {
    return QStringLiteral("%1到%2之间的数（每秒请求数）")
        .arg(settings::kMinRequestsPerSecond)
        .arg(settings::kMaxRequestsPerSecond);
}

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
        if (collected.http || collected.https || collected.translateOptionGiven ||
            !collected.words.isEmpty())
            return UsageError{QStringLiteral("--configure不能与其他选项或文本同时使用。")};
        return ConfigureRequest{};
    }
    TranslateRequest request = collected.translate;
    if (request.inputFile && !collected.words.isEmpty())
        return UsageError{QStringLiteral("-i与要翻译的文本不能同时给出。")};
    if (collected.http || collected.https)
        request.https = collected.https;
    if (!collected.words.isEmpty())
        request.text = collected.words.join(u' ');
    return request;
}

} // namespace cli
