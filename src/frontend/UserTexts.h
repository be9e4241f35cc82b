#pragma once

#include <QString>

// The texts a person reads in both the window and quorvel-cli, each written here once.
namespace frontend {

inline const QString kAppIdPrompt = QStringLiteral("请输入百度翻译APP ID（API_KEY）：");
inline const QString kSecretKeyPrompt = QStringLiteral("请输入百度翻译APP KEY（SECRET_KEY）：");
inline const QString kNothingChanged = QStringLiteral("设置未作任何更改。");

// Where a person registers as a developer of the translation service and gets an App ID and key.
inline const QString kDeveloperPortal = QStringLiteral("http://api.fanyi.baidu.com/");
inline const QString kNoCredentials =
    QStringLiteral("百度翻译App ID或者KEY未设置、或者设置存在错误，程序终止运行！请正确设置后再"
                   "尝试！网址：") +
    kDeveloperPortal;

// Said of a text of kLongText bytes or more: the window asks whether to go on.
inline const QString kLongTextWarning = QStringLiteral(
    "单次翻译文本长度限定为6000字节以内（汉字约为2000个字符），超出将可能导致错误！");

// Written after the program's name when the settings file's code page cannot be converted.
inline const QString kNoCodePage =
    QStringLiteral("缺少代码页936的转换器（Qt未带ICU？），无法读取设置文件。");

// Why the credential setup stored nothing; each is followed by kNothingChanged.
inline const QString kEmptyCredentials = QStringLiteral("APP ID和KEY都不能为空，");
inline const QString kNulInCredentials = QStringLiteral("APP ID或KEY含有空字符（NUL），");
inline const QString kAppIdLineBreak = QStringLiteral("APP ID含有换行符，");
inline const QString kAppIdEdgeTab = QStringLiteral("APP ID首尾含有制表符，读回时会被去掉，");
inline const QString kAppIdOuterQuotes = QStringLiteral("APP ID首尾是一对引号，读回时会被去掉，");
inline const QString kAppIdMarkerText = QStringLiteral("APP ID不能是“%1”，"); // the App ID
inline const QString kAppIdTooLong = QStringLiteral("APP ID超过%1字节，无法完整读回，"); // bytes
inline const QString kAppIdNotStorable =
    QStringLiteral("APP ID含有无法保存的字符，请检查后重新输入。");
inline const QString kSecretKeyLineBreak = QStringLiteral("密钥含有换行符，");
inline const QString kSecretKeyTooLong = QStringLiteral("密钥长度超过%1个字符，无法保存。");
inline const QString kSecretKeyNotStorable =
    QStringLiteral("密钥含有无法保存的字符，请检查后重新输入。");
// %1 MiB, %2 the settings file.
inline const QString kSettingsTooLarge =
    QStringLiteral("保存后设置文件将大于%1 MiB，超出可读取的上限：%2，");
// %1 the settings file, %2 why (platform::ErrorNumberText).
inline const QString kSettingsNotWritten = QStringLiteral("无法写入设置文件：%1（%2），");

} // namespace frontend
