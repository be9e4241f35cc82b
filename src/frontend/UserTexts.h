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

} // namespace frontend
