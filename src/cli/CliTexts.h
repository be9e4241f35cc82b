#pragma once

#include <QString>
#include <QStringList>

// Every text quorvel-cli shows but those it shares with the window (frontend/UserTexts.h) and
// those of its options and exit statuses (cli/CliOptions.cpp).
namespace cli {

// What starts every line quorvel-cli writes to standard error.
inline const QString kErrorPrefix = QStringLiteral("quorvel-cli：");

// --help and the usage lines.
QString UsageText();
QStringList HelpIntroduction();
inline const QString kOptionsHeading = QStringLiteral("选项：");
QStringList LanguageCodesText();
inline const QString kExitStatusHeading = QStringLiteral("退出状态：");
QString SettingsFileText(const QString& settingsPath);
QString CredentialsWhereText();
inline const QString kSeeHelp = QStringLiteral("请用 quorvel-cli --help 查看帮助。");

// Usage errors. An option is named in Chinese quotation marks.
QString Quoted(const QString& argument);
QString UnknownOption(const QString& argument);
QString OptionNeedsValue(const QString& option);
QString OptionTakesNoValue(const QString& option);
// What --qps and the settings file's QPS take: "0.01到1000之间的数（每秒请求数）".
QString AcceptedRates();
QString RateRefused(const QString& value);
inline const QString kHttpWithHttps = QStringLiteral("--https和--http不能同时使用。");
inline const QString kConfigureAlone = QStringLiteral("--configure不能与其他选项或文本同时使用。");
inline const QString kInputWithText =
    QStringLiteral("输入文件（-i或“-”）与要翻译的文本不能同时给出。");
inline const QString kArgumentsNotUtf8 = QStringLiteral("命令行参数不是UTF-8文本，未翻译。");

// The settings file.
QString SettingsFileIgnored(const QString& settingsPath, const QString& why);
inline const QString kSettingsNotRegular = QStringLiteral("不是普通文件");
QString SettingsTooLarge(qint64 mebibytes);
QString StoredRateRefused();
inline const QString kRunConfigure =
    QStringLiteral("可运行 quorvel-cli --configure 设置APP ID和密钥。");
inline const QString kConfigureCancelled = QStringLiteral("已取消，");
QString CredentialsStored(const QString& settingsPath);

// A translation.
inline const QString kTextPrompt = QStringLiteral("请输入要翻译的文本，以Ctrl+D结束：");
QString InputUnreadable(const QString& file, const QString& reason);
QString OutputUnwritable(const QString& file, const QString& reason);
QString StandardOutputUnwritable(const QString& reason);
QString JournalUnwritable(const QString& reason);
QString ResumeSummaryText(qint64 translated, qint64 resumed, bool stopped);
QString DryRunSummaryText(qint64 requests, qint64 characters, double requestsPerSecond,
                          const QString& duration);
// When the system gave no error number for a failure.
inline const QString kUnknownReason = QStringLiteral("原因不明");

} // namespace cli
