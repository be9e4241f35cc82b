#include "cli/CliArguments.h"

#include "cli/CliOptions.h"
#include "cli/CliTexts.h"

namespace cli {

namespace {

struct Collected {
    OptionValues values;
    QStringList words;
    bool standardInput = false; // "-" among the words
};

// Splits "--source=en" and "-sen" into the option's name and its attached value.
std::pair<QString, std::optional<QString>> SplitAttached(const QString& argument) {
    if (argument.startsWith(QLatin1StringView("--"))) {
        const qsizetype equals = argument.indexOf(u'=');
        if (equals < 0)
            return {argument, std::nullopt};
        return {argument.left(equals), argument.mid(equals + 1)};
    }
    if (argument.size() > 2)
        return {argument.left(2), argument.mid(2)};
    return {argument, std::nullopt};
}

// Reads the option `arguments[i]`, and the next argument too when that is its value.
std::optional<UsageError> TakeOption(const QStringList& arguments, qsizetype& i,
                                     OptionValues& values, bool& optionsEnded) {
    const QString& argument = arguments[i];
    const auto [name, attached] = SplitAttached(argument);
    const CliOption* option = FindOption(name);
    const bool longName = name.startsWith(QLatin1StringView("--"));
    // "-sen" only for an option that takes a value: "-qx" is no option at all, nor is "--=x".
    if (!option || (attached && !option->valueZh && (!longName || !option->set)))
        return UsageError{UnknownOption(argument)};
    if (!option->set) {
        optionsEnded = true;
        return std::nullopt;
    }
    if (!option->valueZh && attached)
        return UsageError{OptionTakesNoValue(name)};
    std::optional<QString> value = attached;
    if (option->valueZh && !value) {
        if (i + 1 == arguments.size())
            return UsageError{OptionNeedsValue(name)};
        value = arguments[++i];
    }
    if (std::optional<QString> refusal = option->set(values, value.value_or(QString())))
        return UsageError{*refusal};
    return std::nullopt;
}

std::optional<UsageError> Collect(const QStringList& arguments, Collected& collected) {
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(u'-'))
            collected.words += argument;
        else if (argument == kStandardStream)
            collected.standardInput = true;
        else if (std::optional<UsageError> error =
                     TakeOption(arguments, i, collected.values, optionsEnded))
            return error;
    }
    return std::nullopt;
}

} // namespace

CliRequest ParseArguments(const QStringList& arguments) {
    Collected collected;
    if (std::optional<UsageError> error = Collect(arguments, collected))
        return *error;
    const OptionValues& values = collected.values;
    if (values.help)
        return HelpRequest{};
    if (values.version)
        return VersionRequest{};
    if (values.http && values.https)
        return UsageError{kHttpWithHttps};
    if (values.configure) {
        if (values.http || values.https || values.translateOptionGiven ||
            !collected.words.isEmpty() || collected.standardInput)
            return UsageError{kConfigureAlone};
        return ConfigureRequest{};
    }
    TranslateRequest request = values.translate;
    const bool inputGiven = values.inputChosen || collected.standardInput;
    if ((inputGiven && !collected.words.isEmpty()) ||
        (collected.standardInput && request.inputFile))
        return UsageError{kInputWithText};
    if (values.http || values.https)
        request.https = values.https;
    if (!collected.words.isEmpty())
        request.text = collected.words.join(u' ');
    return request;
}

} // namespace cli
