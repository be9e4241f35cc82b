#include "cli/TranslateCommand.h"

#include "cli/ExitStatus.h"
#include "client/DeveloperPortal.h"
#include "client/ServiceEndpoints.h"
#include "client/modQuorvel.h"
#include "credentials/StoredCredentials.h"
#include "settings/SettingsFile.h"
#include "settings/clsIniFile.h"

#include <QIODevice>
#include <QStringDecoder>

namespace cli {

namespace {

// The window questions a text from this many UTF-16 code units on; here it is a warning.
constexpr qsizetype kLongTextWarning = 6000;

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
    clsIniFile ini;
    ini.File(settingsPath);
    const std::optional<Credentials> credentials = ReadStoredCredentials(ini);
    if (!credentials) {
        WriteLine(
            console.err,
            QStringLiteral("百度翻译App ID或者KEY未设置、或者设置存在错误，程序终止运行！请正确"
                           "设置后再尝试！网址：") +
                kDeveloperPortal);
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
    if (source->size() >= kLongTextWarning)
        WriteLine(console.err, QStringLiteral("警告：单次翻译文本长度限定为6000字节以内（汉字约为"
                                              "2000个字符），超出将可能导致错误！"));

    const bool https = request.https.value_or(
        SettingsFile::HttpsIsOn(ini.GetSetting(SettingsFile::kSettings, SettingsFile::kHttps)));
    modQuorvel::TranslateReply reply;
    try {
        reply = modQuorvel::RequestTranslation(
            *source, request.from, request.to, credentials->strAppID, credentials->strSecretKey,
            https, modQuorvel::ConnectionOptionsFromSettings(ini));
    } catch (const modQuorvel::TranslateFailure& failure) {
        WriteReceivedLine(console.err, console.errIsTerminal, failure.reason());
        return kRequestFailed;
    } catch (const std::exception&) {
        WriteLine(console.err, QStringLiteral("翻译失败：程序内部错误"));
        return kRequestFailed;
    }
    if (reply.serviceError) {
        WriteReceivedLine(console.err, console.errIsTerminal, reply.text);
        return kServiceError;
    }
    WriteReceivedLine(console.out, console.outIsTerminal, reply.text);
    return kSucceeded;
}

} // namespace cli
