#include "cli/CliTexts.h"

#include "frontend/UserTexts.h"
#include "settings/QuorvelSettings.h"

namespace cli {

QString UsageText() {
    return QStringLiteral("用法：quorvel-cli [选项] [--] [文本...]\n"
                          "      quorvel-cli [选项] -\n"
                          "      quorvel-cli --configure");
}

QStringList HelpIntroduction() {
    return {
        QStringLiteral("通过百度通用翻译API翻译文本：给出的文本各词以空格连接；未给出文本时"),
        QStringLiteral("翻译-i指定的文件或标准输入（“-”）的全部内容。译文以UTF-8输出到标准输出"),
        QStringLiteral("或-o指定的文件，行数与原文相同。超过一次请求（6000字节）的文档按行分成"),
        QStringLiteral("多次请求，按账户的每秒请求数同时发送，遇到频率限制等可重试的错误时自动"),
        QStringLiteral("重试。选项的值是下一个参数，或用“=”连接（--source=en），短选项也可"),
        QStringLiteral("直接相连（-sen）。"),
    };
}

QStringList LanguageCodesText() {
    return {
        QStringLiteral("常见语言代号：auto 自动检测、zh 中文、en 英语、yue 粤语、wyw 文言文、"),
        QStringLiteral(
            "jp 日语、kor 韩语、fra 法语、spa 西班牙语、ru 俄语、de 德语、cht 繁体中文。"),
    };
}

QString SettingsFileText(const QString& settingsPath) {
    return QStringLiteral("设置文件（与窗口共用）：") + settingsPath;
}

QString CredentialsWhereText() {
    return QStringLiteral("APP ID和密钥请前往") + frontend::kDeveloperPortal +
           QStringLiteral("注册获得。");
}

QString Quoted(const QString& argument) {
    return QStringLiteral("“") + argument + QStringLiteral("”");
}

QString UnknownOption(const QString& argument) {
    return QStringLiteral("未知选项%1。若要翻译以“-”开头的文本，请在文本前加上 --。")
        .arg(Quoted(argument));
}

QString OptionNeedsValue(const QString& option) {
    return QStringLiteral("选项%1需要一个值。").arg(Quoted(option));
}

QString OptionTakesNoValue(const QString& option) {
    return QStringLiteral("选项%1不带值。").arg(Quoted(option));
}

QString AcceptedRates() {
    return QStringLiteral("%1到%2之间的数（每秒请求数）")
        .arg(settings::kMinRequestsPerSecond)
        .arg(settings::kMaxRequestsPerSecond);
}

QString RateRefused(const QString& value) {
    return QStringLiteral("--qps需要一个%1，而不是%2。").arg(AcceptedRates(), Quoted(value));
}

QString SettingsFileIgnored(const QString& settingsPath, const QString& why) {
    return QStringLiteral("设置文件%1%2，按不存在处理，不会写入。").arg(settingsPath, why);
}

QString SettingsTooLarge(qint64 mebibytes) {
    return QStringLiteral("大于%1 MiB").arg(mebibytes);
}

QString StoredRateRefused() {
    return QStringLiteral("设置文件中[Service]下的QPS应是一个%1，请改正，或用--qps指定。未翻译。")
        .arg(AcceptedRates());
}

QString CredentialsStored(const QString& settingsPath) {
    return QStringLiteral("APP ID和KEY已保存到") + settingsPath;
}

QString InputUnreadable(const QString& file, const QString& reason) {
    return QStringLiteral("无法读取输入文件%1：%2。").arg(file, reason);
}

QString OutputUnwritable(const QString& file, const QString& reason) {
    return QStringLiteral("无法写入输出文件%1：%2。").arg(file, reason);
}

QString StandardOutputUnwritable(const QString& reason) {
    return QStringLiteral("无法写入标准输出（%1），输出不完整。").arg(reason);
}

QString JournalUnwritable(const QString& reason) {
    return reason + QStringLiteral("，中断后将无法续传。");
}

QString ResumeSummaryText(qint64 translated, qint64 resumed, bool stopped) {
    return QStringLiteral("已翻译%1字符，续传节省%2字符").arg(translated).arg(resumed) +
           (stopped ? QStringLiteral("；再次运行同一命令即可从中断处继续。")
                    : QStringLiteral("。"));
}

QString DryRunSummaryText(qint64 requests, qint64 characters, double requestsPerSecond,
                          const QString& duration) {
    return QStringLiteral("请求%1次，字符%2个，按每秒%3次请求约需%4。")
        .arg(requests)
        .arg(characters)
        .arg(requestsPerSecond)
        .arg(duration);
}

} // namespace cli
