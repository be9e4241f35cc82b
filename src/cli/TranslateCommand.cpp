#include "cli/TranslateCommand.h"

#include "cli/ExitStatus.h"
#include "frontend/Translation.h"
#include "frontend/UserTexts.h"
#include "settings/QuorvelSettings.h"

#include <QIODevice>
#include <QStringDecoder>

namespace cli {

namespace {

// All of standard input; one final line end is dropped (text files and `echo` end with one).
std::optional<QString> ReadSourceText(const CliConsole& console) {
    if (console.terminal >= 0)
        WritePrompt(console.err, QStringLiteral("请输入要翻译的文本，以Ctrl+D结束：\n"));
    QByteArray bytes = console.in.readAll();
    if (bytes.endsWith('\n'))
        bytes.chop(bytes.endsWith("\r\n") ? 2 : 1);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

} // namespace

int RunTranslate(const TranslateRequest& request, const CliConsole& console,
                 const QString& settingsPath) {
    const settings::QuorvelSettings settings(settingsPath);
    const std::optional<modStrHexByte::Credentials> credentials = settings.credentials();
    if (!credentials) {
        WriteLine(console.err, frontend::kNoCredentials);
        WriteLine(console.err, QStringLiteral("可运行 quorvel-cli --configure 设置APP ID和密钥。"));
        return kNoCredentials;
    }

    const std::optional<QString> source = request.text ? request.text : ReadSourceText(console);
    if (!source) {
        WriteLine(console.err, QStringLiteral("标准输入不是UTF-8文本，未翻译。"));
        return kUsageError;
    }
    // The service would only answer 54000 for it.
    if (source->trimmed().isEmpty()) {
        WriteLine(console.err, QStringLiteral("没有要翻译的文本。"));
        return kUsageError;
    }
    if (frontend::IsLongText(*source))
        WriteLine(console.err, QStringLiteral("警告：") + frontend::kLongTextWarning);

    const frontend::TranslationResult result = frontend::Translate(
        *source, request.from, request.to, *credentials, request.https.value_or(settings.https()),
        frontend::ConnectionOptionsFor(settings));
    switch (result.outcome) {
    case frontend::TranslationResult::Outcome::Translated:
        WriteReceivedLine(console.out, console.outIsTerminal, result.text);
        return kSucceeded;
    case frontend::TranslationResult::Outcome::ServiceError:
        WriteReceivedLine(console.err, console.errIsTerminal, result.text);
        return kServiceError;
    case frontend::TranslationResult::Outcome::Failed:
        break;
    }
    WriteReceivedLine(console.err, console.errIsTerminal, result.text);
    return kRequestFailed;
}

} // namespace cli
