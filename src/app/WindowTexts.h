#pragma once

#include <QString>
#include <QStringList>

// Every text a person reads in the window, each written here once; what quorvel-cli shows too
// is in frontend/UserTexts.h.
namespace app {

inline const QString kWindowTitle = QStringLiteral("自动翻译工具V1.0.0.1");

// The controls' captions and the text boxes' first texts.
inline const QString kSourceText = QStringLiteral("原文");
inline const QString kTranslatedText = QStringLiteral("译文");
inline const QString kTranslateCaption = QStringLiteral("开始翻译");
inline const QString kSettingsCaption = QStringLiteral("设置");
inline const QString kHelpCaption = QStringLiteral("帮助");
inline const QString kExitCaption = QStringLiteral("退出");
inline const QString kSourceLanguageCaption = QStringLiteral("原文语言：");
inline const QString kTargetLanguageCaption = QStringLiteral("译文语言：");

// Shown in the translation box while a request is under way.
inline const QString kBusyText = QStringLiteral("正在执行，请稍候……");

// The message boxes: their titles, and the question after frontend::kLongTextWarning.
inline const QString kGoOnQuestion = QStringLiteral("要继续吗？");
inline const QString kWarningTitle = QStringLiteral("警告：");
inline const QString kStoppedTitle = QStringLiteral("程序终止！");
inline const QString kFirstStepTitle = QStringLiteral("第1步（共2步）：");
inline const QString kSecondStepTitle = QStringLiteral("第2步（共2步）：");
inline const QString kSettingsTitle = QStringLiteral("设置：");
inline const QString kHelpTitle = QStringLiteral("使用说明：");

// The usage notes (HelpText): before and after the developer portal's address, the heading of
// the language codes and the closing line.
inline const QString kHelpBeforePortal =
    QStringLiteral("本程序使用百度通用翻译API完成翻译任务，使用前需前往");
inline const QString kHelpAfterPortal =
    QStringLiteral("注册成为开发者，获得APPID和对应密钥，并填入本程序后方能使用！");
inline const QString kHelpCodesHeading = QStringLiteral("常见语种语言代号如下：");
inline const QString kHelpOtherLanguages =
    QStringLiteral("其它语种（完整语种列表目前共211种）见相应网站。");
// Common language codes, three to a line; the blanks line the codes up in the message box.
inline const QStringList kHelpCodeTable = {
    QStringLiteral("自动检测    auto    中文    zh  英语    en"),
    QStringLiteral("粤语    yue         文言文       wyw         日语        jp"),
    QStringLiteral("韩语    kor         法语         fra         西班牙语    spa"),
    QStringLiteral("泰语    th          阿拉伯语     ara         俄语        ru "),
    QStringLiteral("葡萄牙语    pt      德语         de          意大利语    it"),
    QStringLiteral("希腊语  el          荷兰语       nl          波兰语      pl "),
    QStringLiteral("保加利亚语  bul     爱沙尼亚语   est         丹麦语      dan "),
    QStringLiteral("芬兰语  fin         捷克语       cs          罗马尼亚语  rom "),
    QStringLiteral("斯洛文尼亚语    slo 瑞典语       swe         匈牙利语    hu"),
    QStringLiteral("繁体中文    cht     越南语       vie"),
};

// Written to standard error before the window opens.
inline const QString kProgramPrefix = QStringLiteral("quorvel：");
inline const QString kNoQtTranslations =
    QStringLiteral("缺少Qt的中文翻译（qt6-translations-l10n），对话框按钮将不显示中文。");

} // namespace app
