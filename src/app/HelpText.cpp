#include "app/HelpText.h"

#include "frontend/UserTexts.h"

#include <QStringList>

namespace app {

namespace {

// Common language codes, three to a line; the blanks line the codes up in the message box.
const QStringList kCodeTable = {
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

} // namespace

QString HelpText() {
    const QString lineBreak = QStringLiteral("\r\n");
    QString text = QStringLiteral("本程序使用百度通用翻译API完成翻译任务，使用前需前往") +
                   frontend::kDeveloperPortal +
                   QStringLiteral("注册成为开发者，获得APPID和对应密钥，并填入本程序后方能使用！");
    text += lineBreak + lineBreak + QStringLiteral("常见语种语言代号如下：");
    for (const QString& line : kCodeTable)
        text += lineBreak + line;
    text +=
        lineBreak + lineBreak + QStringLiteral("其它语种（完整语种列表目前共211种）见相应网站。");
    return text;
}

} // namespace app
